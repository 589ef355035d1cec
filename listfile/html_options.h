// The HTML page options kept in [HtmlSetting] of the settings file.
#pragma once

#include "listfile/listfile.h"
#include "settings/profile.h"

namespace clip {

constexpr const char* kHtmlSection = "HtmlSetting";

// Reads the eighteen keys; missing keys give the defaults. Radio values are
// kept as read, so an out-of-range value can leave its group unchecked.
HtmlOptions LoadHtmlOptions(Profile& profile);

// Writes the eighteen keys in their fixed order: the five texts (cut to
// 127 bytes), the five radio groups ("0", "1" or "2"; a group without a valid
// choice writes its default) and the eight colours as colour text.
void SaveHtmlOptions(Profile& profile, const HtmlOptions& options);

// value when it is a valid choice among count buttons, else def.
int RadioOrDefault(int value, int count, int def);
// The options with every radio group made valid, as the page uses them.
HtmlOptions WithValidChoices(HtmlOptions options);

}  // namespace clip
