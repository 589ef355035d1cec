#include "listfile/csv_guard.h"

namespace clip {

namespace {

bool IsFormulaStart(char c) {
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r' || c == '\n';
}

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A sign, one or more digits, then letters only: "-116kbit", "+5".
bool IsSignedNumberWithUnit(std::string_view cell) {
  if (cell.size() < 2 || (cell[0] != '-' && cell[0] != '+') || !IsAsciiDigit(cell[1])) return false;
  std::size_t i = 2;
  while (i < cell.size() && IsAsciiDigit(cell[i])) ++i;
  while (i < cell.size() && IsAsciiLetter(cell[i])) ++i;
  return i == cell.size();
}

// The number of apostrophes the text starts with, when one of the formula
// characters follows them; npos otherwise.
std::size_t GuardedApostrophes(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == '\'') ++i;
  return i < text.size() && IsFormulaStart(text[i]) ? i : std::string_view::npos;
}

}  // namespace

bool CsvCellNeedsGuard(std::string_view cell) {
  if (cell.empty() || (cell[0] != '\'' && !IsFormulaStart(cell[0]))) return false;
  const std::size_t n = GuardedApostrophes(cell);
  if (n == std::string_view::npos) return false;
  return n > 0 || !IsSignedNumberWithUnit(cell);
}

bool CsvFieldHasGuard(std::string_view field) {
  if (field.empty() || field[0] != '\'') return false;
  const std::size_t n = GuardedApostrophes(field);
  return n != std::string_view::npos && n > 0;
}

}  // namespace clip
