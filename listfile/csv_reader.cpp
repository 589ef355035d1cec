#include "listfile/csv_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "listfile/csv_guard.h"

namespace clip {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

bool IsDigit(unsigned char b) { return b >= '0' && b <= '9'; }

// Bytes that need the byte-wise path inside and outside quotes; runs of
// other bytes are copied into the field in one go.
struct SpecialBytes {
  bool quoted[256] = {};
  bool plain[256] = {};
  constexpr SpecialBytes() {
    for (unsigned char b : {'"', '\r', '\n', '\0'}) quoted[b] = true;
    for (unsigned char b : {',', '\r', '\n', '\0'}) plain[b] = true;
  }
};
constexpr SpecialBytes kSpecial;

// Fills a record's fields: each is cut at its first NUL and, once a
// written apostrophe is taken off (TakeGuards), at kCsvFieldMax bytes; fields
// past the last slot are only counted.
class FieldOut {
 public:
  explicit FieldOut(CsvRecord& record) : record_(record), out_(&record.fields[0]) {}

  // A run without NUL bytes.
  void Append(const char* p, std::size_t n) {
    if (!out_ || cut_ || n == 0) return;
    const std::size_t limit = Limit(out_->empty() ? p[0] : (*out_)[0]);
    std::size_t room = limit - out_->size();
    out_->append(p, n < room ? n : room);
  }

  void Put(char c) {
    if (!out_ || cut_) return;
    if (c == '\0') {
      cut_ = true;  // a cell is a zero-terminated text: the rest is not shown
    } else if (out_->size() < Limit(out_->empty() ? c : (*out_)[0])) {
      out_->push_back(c);
    }
  }

  // The next field begins.
  void Separator() {
    if (record_.lastField < INT_MAX) ++record_.lastField;
    out_ = record_.lastField < kCsvFieldSlots ? &record_.fields[record_.lastField] : nullptr;
    cut_ = false;
  }

 private:
  // A field that starts with an apostrophe keeps one byte more, so that it
  // still holds kCsvFieldMax bytes once a written apostrophe is taken off.
  static std::size_t Limit(char first) { return kCsvFieldMax + (first == '\'' ? 1 : 0); }

  CsvRecord& record_;
  std::string* out_;  // the field being filled; null past the last slot
  bool cut_ = false;  // the field met a NUL byte
};

// RFC 4180 field splitting. It sees line ends as LineEnd() (CR LF and LF
// alike) and every other byte, a lone CR too, as Data().
class RfcSplitter {
 public:
  enum Result { kMore, kEnd, kBroken };

  explicit RfcSplitter(CsvRecord& record) : out_(record) {}

  bool InQuotes() const { return state_ == kQuoted; }
  bool SpansLines() const { return spansLines_; }
  // Runs of ordinary bytes can be copied straight into the field.
  bool TakesRuns() const { return state_ == kQuoted || state_ == kUnquoted; }
  const bool* Special() const { return state_ == kQuoted ? kSpecial.quoted : kSpecial.plain; }
  void Run(const char* p, std::size_t n) { out_.Append(p, n); }
  // Closing quote, comma and the next field's opening quote.
  void NextQuotedField() { out_.Separator(); }

  // final: the record can no longer be read again, so what breaks the
  // format is read on as data.
  Result Data(unsigned char b, bool final) {
    switch (state_) {
      case kFieldStart:
        if (b == '"') {
          state_ = kQuoted;
          return kMore;
        }
        state_ = kUnquoted;
        [[fallthrough]];
      case kUnquoted:
        if (b == ',') {
          out_.Separator();
          state_ = kFieldStart;
        } else {
          out_.Put(static_cast<char>(b));
        }
        return kMore;
      case kQuoted:
        if (b == '"') {
          state_ = kAfterQuote;
        } else {
          out_.Put(static_cast<char>(b));
        }
        return kMore;
      case kAfterQuote:
        if (b == '"') {
          out_.Put('"');
          state_ = kQuoted;
        } else if (b == ',') {
          out_.Separator();
          state_ = kFieldStart;
        } else if (final) {
          out_.Put(static_cast<char>(b));
          state_ = kUnquoted;
        } else {
          return kBroken;
        }
        return kMore;
    }
    return kMore;
  }

  Result LineEnd(bool final) {
    if (state_ != kQuoted || final) return kEnd;
    out_.Put('\n');
    spansLines_ = true;
    return kMore;
  }

  Result FileEnd(bool final) const { return state_ == kQuoted && !final ? kBroken : kEnd; }

 private:
  // kAfterQuote: a quote inside a quoted field, which closes it unless
  // another quote follows.
  enum State { kFieldStart, kUnquoted, kQuoted, kAfterQuote };

  FieldOut out_;
  State state_ = kFieldStart;
  bool spansLines_ = false;  // a line end inside quotes was data
};

// The line rule: splitting of one line by the rules of earlier versions. It
// sees the line's bytes after CR LF has become the line end.
class LineSplitter {
 public:
  LineSplitter(CsvRecord& record, bool quoted, bool digitRule)
      : out_(record), quoted_(quoted), digitRule_(digitRule) {}

  bool quoted() const { return quoted_; }
  // True when no byte is held back, so a run of ordinary bytes can be
  // copied straight into the field.
  bool Idle() const { return quoted_ ? pending_ == kNone : !pendingComma_; }

  // A run of bytes none of which is special for this kind of line (NUL is
  // special everywhere).
  void Run(const char* p, std::size_t n) {
    prevDigit_ = IsDigit(static_cast<unsigned char>(p[n - 1]));
    out_.Append(p, n);
  }

  void Separator() { out_.Separator(); }

  void Data(unsigned char b) {
    if (quoted_) {
      QuotedData(b);
    } else {
      PlainData(b);
    }
  }

  // The line ends here (LF, or the end of the file).
  void End() {
    if (quoted_) {
      // A quote held back is the closing quote and is dropped; quote and
      // comma without the next field's opening quote are data.
      if (pending_ == kQuoteComma) {
        out_.Put('"');
        out_.Put(',');
      }
    } else if (pendingComma_) {
      out_.Separator();  // nothing follows the comma, so no digit guards it
    }
  }

 private:
  enum Pending { kNone, kQuote, kQuoteComma };

  // Quoted line: a field ends at quote-comma-quote and at a quote that
  // stands right before the line end; every other quote or comma is data.
  void QuotedData(unsigned char b) {
    switch (pending_) {
      case kNone:
        if (b == '"') {
          pending_ = kQuote;
        } else {
          out_.Put(static_cast<char>(b));
        }
        break;
      case kQuote:
        if (b == ',') {
          pending_ = kQuoteComma;
        } else if (b == '"') {
          out_.Put('"');  // the earlier quote was data; this one is held back
        } else {
          out_.Put('"');
          out_.Put(static_cast<char>(b));
          pending_ = kNone;
        }
        break;
      case kQuoteComma:
        pending_ = kNone;
        if (b == '"') {
          out_.Separator();
        } else {
          out_.Put('"');
          out_.Put(',');
          out_.Put(static_cast<char>(b));
        }
        break;
    }
  }

  // Plain line: a comma separates; with the digit rule, not when a digit
  // stands on either side of it.
  void PlainData(unsigned char b) {
    if (pendingComma_) {
      pendingComma_ = false;
      if (IsDigit(b)) {
        out_.Put(',');
      } else {
        out_.Separator();
      }
    }
    if (b == ',' && !digitRule_) {
      out_.Separator();
    } else if (b == ',' && !prevDigit_) {
      pendingComma_ = true;
    } else {
      out_.Put(static_cast<char>(b));
    }
    prevDigit_ = IsDigit(b);
  }

  FieldOut out_;
  const bool quoted_;
  const bool digitRule_;
  Pending pending_ = kNone;
  bool pendingComma_ = false;
  bool prevDigit_ = false;  // the line's first byte has no digit before it
};

// Takes off the apostrophes the writer put before cells a spreadsheet would
// take for formulas (csv_guard.h) and cuts what is left at kCsvFieldMax.
void TakeGuards(CsvRecord& record) {
  for (int i = 0; i < record.SlotCount(); ++i) {
    std::string& field = record.fields[static_cast<std::size_t>(i)];
    if (field.empty() || field[0] != '\'') continue;
    if (CsvFieldHasGuard(field)) field.erase(0, 1);
    if (field.size() > kCsvFieldMax) field.resize(kCsvFieldMax);
  }
}

void Clear(CsvRecord& record) {
  for (int i = 0; i < record.SlotCount(); ++i) record.fields[static_cast<std::size_t>(i)].clear();
  record.lastField = 0;
}

}  // namespace

// Room for a record that may be read again, and a block read after it.
CsvReader::CsvReader(std::FILE* file) : file_(file), block_(kCsvRereadMax + kBlockSize) {
  cur_ = end_ = block_.data();
}

CsvReader::CsvReader(std::string_view data) : cur_(data.data()), end_(data.data() + data.size()) {}

bool CsvReader::Refill() {
  if (!file_ || error_) return false;
  // The record that may be read again moves to the front of the block; one
  // that has grown past what can be read again is let go.
  std::size_t keep = 0;
  if (mark_) {
    keep = static_cast<std::size_t>(end_ - mark_);
    if (keep > kCsvRereadMax) {
      keep = 0;
      mark_ = nullptr;
    } else {
      std::memmove(block_.data(), mark_, keep);
      mark_ = block_.data();
    }
  }
  cur_ = end_ = block_.data() + keep;
  std::size_t n = std::fread(block_.data() + keep, 1, kBlockSize, file_);
  if (n == 0) {
    if (std::ferror(file_)) error_ = true;
    return false;
  }
  end_ += n;
  return true;
}

bool CsvReader::Rereadable() const {
  return mark_ && static_cast<std::size_t>(cur_ - mark_) <= kCsvRereadMax;
}

// Reads one record from mark_ by RFC 4180. False when it is to be read
// again by the line rule; mark_ is null when it has grown too long for that.
bool CsvReader::ReadRfc(CsvRecord& record) {
  RfcSplitter split(record);
  bool pendingCR = false;  // a CR that ends the line if LF follows
  for (;;) {
    // While the record can be read again, it is looked at in steps that
    // stop where that ends, whatever the block boundaries.
    std::size_t avail = static_cast<std::size_t>(end_ - cur_);
    if (mark_) {
      const std::size_t left = kCsvRereadMax - static_cast<std::size_t>(cur_ - mark_);
      if (left == 0) {
        if (split.SpansLines()) return false;
        mark_ = nullptr;
        continue;
      }
      avail = std::min(avail, left);
    }
    if (avail == 0) {
      if (Refill()) continue;
      const bool final = !mark_;
      if (pendingCR && split.Data('\r', final) == RfcSplitter::kBroken) return false;
      return split.FileEnd(final) == RfcSplitter::kEnd;
    }
    const char* stop = cur_ + avail;
    if (!pendingCR && split.TakesRuns()) {
      const bool* special = split.Special();
      const char* p = cur_;
      while (p != stop && !special[static_cast<unsigned char>(*p)]) ++p;
      if (p != cur_) {
        split.Run(cur_, static_cast<std::size_t>(p - cur_));
        cur_ = p;
        if (cur_ == stop) continue;
      }
      // The separators and line end of a written list, when they lie
      // within the step: a quote before comma-quote or before CR LF.
      if (split.InQuotes() && *cur_ == '"' && stop - cur_ >= 3) {
        if (cur_[1] == ',' && cur_[2] == '"') {
          split.NextQuotedField();
          cur_ += 3;
          continue;
        }
        if (cur_[1] == '\r' && cur_[2] == '\n') {
          cur_ += 3;
          return true;
        }
      }
    }
    const bool final = !mark_;
    unsigned char b = static_cast<unsigned char>(*cur_++);
    if (pendingCR) {
      pendingCR = false;
      if (b == '\n') {
        if (split.LineEnd(final) == RfcSplitter::kEnd) return true;
        continue;
      }
      if (split.Data('\r', final) == RfcSplitter::kBroken) return false;
    }
    if (b == '\r') {
      pendingCR = true;
    } else if (b == '\n') {
      if (split.LineEnd(final) == RfcSplitter::kEnd) return true;
    } else if (split.Data(b, final) == RfcSplitter::kBroken) {
      return false;
    }
  }
}

// Reads one line from cur_ by the line rule.
void CsvReader::ReadLine(CsvRecord& record, LineRule rule) {
  LineSplitter line(record, rule == LineRule::kQuoted, rule == LineRule::kDigits);
  if (line.quoted()) ++cur_;
  const bool* special = line.quoted() ? kSpecial.quoted : kSpecial.plain;
  bool pendingCR = false;  // a CR that ends the line if LF follows
  for (;;) {
    if (cur_ == end_ && !Refill()) {
      if (pendingCR) line.Data('\r');
      line.End();
      return;
    }
    if (!pendingCR && line.Idle()) {
      const char* p = cur_;
      while (p != end_ && !special[static_cast<unsigned char>(*p)]) ++p;
      if (p != cur_) {
        line.Run(cur_, static_cast<std::size_t>(p - cur_));
        cur_ = p;
        if (cur_ == end_) continue;
      }
    }
    unsigned char b = static_cast<unsigned char>(*cur_++);
    if (pendingCR) {
      pendingCR = false;
      if (b == '\n') {
        line.End();
        return;
      }
      line.Data('\r');
    }
    if (b == '\r') {
      pendingCR = true;
    } else if (b == '\n') {
      line.End();
      return;
    } else {
      line.Data(b);
    }
  }
}

int CsvReader::Next(CsvRecord& record) {
  Clear(record);
  mark_ = nullptr;
  if (cur_ == end_ && !Refill()) return 1;
  mark_ = cur_;
  const bool quotedLine = *cur_ == '"';
  const bool rfc = ReadRfc(record);
  if (!rfc) {
    Clear(record);
    cur_ = mark_;
    ReadLine(record, quotedLine ? LineRule::kQuoted : LineRule::kPlain);
  }
  // A count that differs from the header's: the line rule that fits the
  // line, when it gives the header's count. The record's first line lies
  // within the bytes kept, so this reading needs no more of the file.
  if (expectedLast_ >= 0 && record.lastField != expectedLast_ && Rereadable() &&
      !(quotedLine && !rfc)) {
    const std::size_t length = static_cast<std::size_t>(cur_ - mark_);
    cur_ = mark_;
    Clear(spare_);
    ReadLine(spare_, quotedLine ? LineRule::kQuoted : LineRule::kDigits);
    if (spare_.lastField == expectedLast_) {
      record.fields.swap(spare_.fields);
      std::swap(record.lastField, spare_.lastField);
    } else {
      cur_ = mark_ + length;
    }
  }
  mark_ = nullptr;
  TakeGuards(record);
  return 0;
}

}  // namespace clip
