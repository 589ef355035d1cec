#include "listfile/html_options.h"

#include <cstdio>
#include <string>

#include "base/cp932.h"
#include "base/text.h"

namespace clip {

namespace {

constexpr std::size_t kTextBuffer = 128;  // texts hold at most 127 bytes

struct ColourKey {
  const char* key;
  std::uint32_t HtmlOptions::*field;
};

// The order in which the colours are read and written.
const ColourKey kColourKeys[8] = {
    {"FoBackColor", &HtmlOptions::foBackColor},     {"FitBackColor", &HtmlOptions::fitBackColor},
    {"FitFontColor", &HtmlOptions::fitFontColor},   {"FiiBackColor1", &HtmlOptions::fiiBackColor1},
    {"FiiBackColor2", &HtmlOptions::fiiBackColor2}, {"FiiFontColor1", &HtmlOptions::fiiFontColor1},
    {"FiiFontColor2", &HtmlOptions::fiiFontColor2}, {"FoFontColor", &HtmlOptions::foFontColor},
};

}  // namespace

HtmlOptions LoadHtmlOptions(Profile& p) {
  const HtmlOptions d;
  HtmlOptions o;
  o.caption = p.GetString(kHtmlSection, "Caption", d.caption, kTextBuffer);
  o.topTitle = p.GetString(kHtmlSection, "TopTitle", d.topTitle, kTextBuffer);
  o.backgroundImage = p.GetString(kHtmlSection, "FoBackImage", d.backgroundImage, kTextBuffer);
  o.topTitleSize = p.GetString(kHtmlSection, "FoFontSize", d.topTitleSize, kTextBuffer);
  o.cellFontSize = p.GetString(kHtmlSection, "FiiFontSize", d.cellFontSize, kTextBuffer);
  o.topTitleAlign = p.GetInt(kHtmlSection, "FoStrDrawType", d.topTitleAlign);
  o.backgroundKind = p.GetInt(kHtmlSection, "FoBackDrawType", d.backgroundKind);
  o.headerAlign = p.GetInt(kHtmlSection, "FitStrDrawType", d.headerAlign);
  o.rowColouring = p.GetInt(kHtmlSection, "FiiListDraw", d.rowColouring);
  o.dataAlign = p.GetInt(kHtmlSection, "FiiStrDrawType", d.dataAlign);
  for (const ColourKey& c : kColourKeys) {
    o.*c.field =
        ParseColorText(p.GetString(kHtmlSection, c.key, ColorText(d.*c.field), kTextBuffer));
  }
  return o;
}

int RadioOrDefault(int value, int count, int def) {
  return value >= 0 && value < count ? value : def;
}

HtmlOptions WithValidChoices(HtmlOptions o) {
  const HtmlOptions d;
  o.topTitleAlign = RadioOrDefault(o.topTitleAlign, 3, d.topTitleAlign);
  o.backgroundKind = RadioOrDefault(o.backgroundKind, 2, d.backgroundKind);
  o.headerAlign = RadioOrDefault(o.headerAlign, 3, d.headerAlign);
  o.rowColouring = RadioOrDefault(o.rowColouring, 2, d.rowColouring);
  o.dataAlign = RadioOrDefault(o.dataAlign, 3, d.dataAlign);
  return o;
}

void SaveHtmlOptions(Profile& p, const HtmlOptions& options) {
  const HtmlOptions o = WithValidChoices(options);
  p.WriteString(kHtmlSection, "Caption", CutCp932(o.caption, kTextBuffer - 1));
  p.WriteString(kHtmlSection, "TopTitle", CutCp932(o.topTitle, kTextBuffer - 1));
  p.WriteString(kHtmlSection, "FoBackImage", CutCp932(o.backgroundImage, kTextBuffer - 1));
  p.WriteString(kHtmlSection, "FoFontSize", CutCp932(o.topTitleSize, kTextBuffer - 1));
  p.WriteString(kHtmlSection, "FiiFontSize", CutCp932(o.cellFontSize, kTextBuffer - 1));
  p.WriteString(kHtmlSection, "FoStrDrawType", std::to_string(o.topTitleAlign));
  p.WriteString(kHtmlSection, "FoBackDrawType", std::to_string(o.backgroundKind));
  p.WriteString(kHtmlSection, "FitStrDrawType", std::to_string(o.headerAlign));
  p.WriteString(kHtmlSection, "FiiListDraw", std::to_string(o.rowColouring));
  p.WriteString(kHtmlSection, "FiiStrDrawType", std::to_string(o.dataAlign));
  for (const ColourKey& c : kColourKeys) p.WriteString(kHtmlSection, c.key, ColorText(o.*c.field));
}

}  // namespace clip
