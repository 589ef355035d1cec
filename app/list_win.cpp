// The catalogue list: an owner-data report list view that shows the row
// model. The list keeps only the selection and focus; texts and check
// boxes are answered from the model when the list asks for them.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/list_win.h"
#include "app/app_win.h"
#include "app/bars_win.h"
#include "app/dpi_win.h"
#include "base/text.h"
#include "base/unicode.h"
#include "base/wide_win.h"
#include "res/resource.h"

namespace clip {

namespace {

// Spacing the list puts around a label at 96 DPI; a fitted column leaves
// the same.
constexpr int kLabelPadding = 12;

bool DirPathOn() { return App().table.IsOn(DirPath); }

void SetRowState(int row, UINT state, UINT mask) {
  LVITEMW item{};
  item.stateMask = mask;
  item.state = state;
  SendMessageW(App().list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
}

// The list asks for each cell it shows: the model's UTF-8 text in the
// list's UTF-16, cut to the list's buffer on a character boundary.
LRESULT OnGetDispInfo(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  const RowModel& rows = App().rows;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::wstring text = Wide(rows.Cell(item.iItem, item.iSubItem));
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    if (n > 0 && n < text.size() && IS_HIGH_SURROGATE(text[n - 1])) --n;
    text.copy(item.pszText, n);
    item.pszText[n] = L'\0';
  }
  if ((item.mask & LVIF_STATE) && DirPathOn()) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                 INDEXTOSTATEIMAGEMASK(rows.Checked(item.iItem) ? 2 : 1);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
  return 0;
}

// True when text begins with prefix, ASCII letters compared without case.
bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i], b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
    if (a != b) return false;
  }
  return true;
}

// Typing in the list jumps to the next row whose file name begins with
// the typed text.
LRESULT OnFindItem(NMLVFINDITEMW* find) {
  const RowModel& rows = App().rows;
  if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
  const std::string wanted = Narrow(find->lvfi.psz);
  int n = rows.Count();
  if (n == 0 || wanted.empty()) return -1;
  int start = find->iStart;
  if (start < 0 || start >= n) start = 0;
  for (int k = 0; k < n; ++k) {
    int r = (start + k) % n;
    if (StartsWithFolded(rows.Cell(r, 0), wanted)) return r;
    if (!(find->lvfi.flags & LVFI_WRAP) && r == n - 1) break;
  }
  return -1;
}

void OnColumnClick(int column) {
  AppState& app = App();
  if (app.commands.scanning) return;  // the rows are still coming in
  std::vector<int> selected = SelectedRows();
  int focus = FocusedRow();
  std::vector<int> moved;
  bool follow = !selected.empty() || focus >= 0;
  app.sort.byExtension = app.commands.view.sortByExtension ? 1 : 0;
  SortByColumn(app.rows, app.table, app.sort, column, follow ? &moved : nullptr);
  if (follow) {
    ReplaceSelection(selected, SelectionAfterMove(selected, moved));
    if (focus >= 0 && static_cast<std::size_t>(focus) < moved.size())
      SetRowState(moved[static_cast<std::size_t>(focus)], LVIS_FOCUSED, LVIS_FOCUSED);
  }
  InvalidateRect(app.list, nullptr, FALSE);
}

// A click on a row's check box toggles it in the model.
void OnClick(NMITEMACTIVATE* click) {
  if (!DirPathOn()) return;
  LVHITTESTINFO hit{};
  hit.pt = click->ptAction;
  SendMessageW(App().list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) && hit.iSubItem == 0)
    ToggleCheck(hit.iItem);
}

void SetUpCategoryColumns(HWND list) {
  AppState& app = App();
  for (int k = 0; k < kCategoryCount; ++k) {
    if (k != FileName && app.table.enabled[k] != 1) continue;
    const CategoryInfo& info = kCategories[static_cast<std::size_t>(k)];
    std::wstring header = Wide(info.header);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = info.align == Align::Right ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = ScaleToDpi(info.width, app.dpi);
    column.pszText = header.data();
    column.iSubItem = k;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(app.table.position[k]),
                 reinterpret_cast<LPARAM>(&column));
  }
  RemoveUnusedFitItems(GetMenu(app.main));
  DrawMenuBar(app.main);
}

}  // namespace

void CreateCatalogueList(HWND parent) {
  AppState& app = App();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  app.list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_CATALOGUE_LIST),
                             app.instance, nullptr);
  SetListExtendedStyle(app.commands.view.gridLines);
  // Check boxes live in the model; the list asks for them with the texts.
  if (DirPathOn()) SendMessageW(app.list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  ApplyListColours(app.settings.listFore, app.settings.listBack);
  SetUpCategoryColumns(app.list);
}

void RemoveUnusedFitItems(HMENU menu) {
  const CategoryTable& table = App().table;
  for (int k = 1; k < kCategoryCount; ++k)
    if (table.RemovesFitItem(k))
      RemoveMenu(menu, static_cast<UINT>(kCategories[static_cast<std::size_t>(k)].fitCommand),
                 MF_BYCOMMAND);
}

void SetListExtendedStyle(bool gridLines) {
  SendMessageW(App().list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               ListExtendedStyle(gridLines, DirPathOn()));
}

std::vector<int> SelectedRows() {
  std::vector<int> rows;
  HWND list = App().list;
  if (!list) return rows;
  int n = static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
  if (n <= 0) return rows;
  rows.reserve(static_cast<std::size_t>(n));
  int r = -1;
  while ((r = static_cast<int>(
              SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(r), LVNI_SELECTED))) >= 0) {
    rows.push_back(r);
    if (static_cast<int>(rows.size()) >= n) break;
  }
  return rows;
}

int FirstSelectedRow() {
  HWND list = App().list;
  if (!list) return -1;
  return static_cast<int>(
      SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ReplaceSelection(const std::vector<int>& now, const std::vector<int>& wanted) {
  std::size_t i = 0, j = 0;
  while (i < now.size() || j < wanted.size()) {
    if (j == wanted.size() || (i < now.size() && now[i] < wanted[j])) {
      SetRowState(now[i++], 0, LVIS_SELECTED);
    } else if (i == now.size() || wanted[j] < now[i]) {
      SetRowState(wanted[j++], LVIS_SELECTED, LVIS_SELECTED);
    } else {
      ++i;
      ++j;
    }
  }
}

int FocusedRow() {
  HWND list = App().list;
  if (!list) return -1;
  return static_cast<int>(
      SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void FollowInsertedRows(const RowMarks& before, int at, int count) {
  if (count <= 0) return;
  if (!before.selected.empty())
    ReplaceSelection(before.selected, SelectionAfterInsert(before.selected, at, count));
  if (before.focus >= at) SetRowState(before.focus + count, LVIS_FOCUSED, LVIS_FOCUSED);
}

void SyncRowCount() {
  AppState& app = App();
  if (!app.list) return;
  SendMessageW(app.list, LVM_SETITEMCOUNT, static_cast<WPARAM>(app.rows.Count()), LVSICF_NOSCROLL);
  InvalidateRect(app.list, nullptr, FALSE);
  // Find, duplicates and rescan are offered while there are rows.
  const bool hasRows = app.rows.Count() > 0;
  if (hasRows != app.commands.hasRows) {
    app.commands.hasRows = hasRows;
    ShowCommandState();
  }
}

void SelectOnly(const std::vector<int>& rows, int focus) {
  HWND list = App().list;
  if (!list) return;
  const std::vector<int> now = SelectedRows();
  // Each row's change invalidates the row, and under Wine every
  // invalidation is a trip to the server: many changes are made unseen,
  // and the list is painted once after them.
  const bool many = now.size() + rows.size() > 256;
  if (many) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  // Leaving most of a large selection is one message that clears it all
  // and the wanted rows selected again, rather than a message per row left.
  // Every row is one message too.
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  const bool all = static_cast<int>(rows.size()) == count && count > 0;
  if (all || (now.size() > 2 * rows.size() && static_cast<int>(now.size()) > count / 2)) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = all ? LVIS_SELECTED : 0;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (!all) ReplaceSelection({}, rows);
  } else {
    ReplaceSelection(now, rows);
  }
  if (many) {
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);
  }
  if (focus < 0) return;
  SetRowState(focus, LVIS_FOCUSED, LVIS_FOCUSED);
  SendMessageW(list, LVM_SETSELECTIONMARK, 0, focus);
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(focus), FALSE);
}

void RefreshRow(int row) {
  HWND list = App().list;
  if (!list || row < 0) return;
  SendMessageW(list, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

void ApplyListColours(COLORREF fore, COLORREF back) {
  HWND list = App().list;
  if (!list) return;
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(fore));
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
  SendMessageW(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
  InvalidateRect(list, nullptr, TRUE);
}

void ToggleCheck(int row) {
  AppState& app = App();
  if (row < 0 || row >= app.rows.Count()) return;
  app.rows.SetChecked(row, !app.rows.Checked(row));
  RefreshRow(row);
}

// Text widths in the list's font. Measuring every cell through the device
// context costs a call per row (over a second for 100,000 rows under Wine);
// widths are added up from the characters' advance widths instead, one
// call per distinct character. The list draws without kerning, so the sum
// is the text's width.
class TextMeter {
 public:
  explicit TextMeter(HDC dc) : dc_(dc), widths_(0x10000, -1) {
    INT first[256] = {};
    exact_ = !GetCharWidth32W(dc, 0, 255, first);
    if (!exact_)
      for (int c = 0; c < 256; ++c) widths_[static_cast<std::size_t>(c)] = first[c];
  }
  // Read from the UTF-8 text itself: a wide copy of every cell of a large
  // catalogue costs more than the sums.
  int Estimate(const std::string& text) {
    if (exact_) return Exact(Wide(text));
    int width = 0;
    std::size_t i = 0;
    while (i < text.size()) {
      const unsigned char b = static_cast<unsigned char>(text[i]);
      char32_t c = b;
      if (b < 0x80)
        ++i;
      else
        c = NextCodePoint(text, i);
      if (c > 0xFFFF) {
        // A character beyond the 16-bit range is measured with its pair.
        c -= 0x10000;
        const wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + (c >> 10)),
                                 static_cast<wchar_t>(0xDC00 + (c & 0x3FF))};
        width += Exact(pair, 2);
        continue;
      }
      int& w = widths_[static_cast<std::size_t>(c)];
      if (w < 0) {
        const wchar_t one = static_cast<wchar_t>(c);
        w = Exact(&one, 1);
      }
      width += w;
    }
    return width;
  }
  int Exact(const wchar_t* text, std::size_t length) const {
    SIZE size{};
    GetTextExtentPoint32W(dc_, text, static_cast<int>(length), &size);
    return static_cast<int>(size.cx);
  }
  int Exact(const std::wstring& text) const { return Exact(text.data(), text.size()); }

 private:
  HDC dc_;
  bool exact_;
  std::vector<int> widths_;
};

void FitColumn(int column) {
  AppState& app = App();
  // columnCount is the index of the last column, which can be fitted too.
  if (!app.list || column < 0 || column > app.table.columnCount) return;
  // The list cannot measure texts it does not hold, so the widest text
  // of the column is found here, with the list's font.
  HDC dc = GetDC(app.list);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(app.list, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  int widest = 0;
  {
    TextMeter meter(dc);
    int widestRow = -1, widestEstimate = -1;
    for (int r = 0; r < app.rows.Count(); ++r) {
      app.rows.PrefetchAhead(r, 1, column, column);
      const std::string& text = app.rows.Cell(r, column);
      if (text.empty()) continue;
      const int estimate = meter.Estimate(text);
      if (estimate > widestEstimate) widestEstimate = estimate, widestRow = r;
    }
    if (widestRow >= 0)
      widest = std::max(widestEstimate, meter.Exact(Wide(app.rows.Cell(widestRow, column))));
  }
  if (old) SelectObject(dc, old);
  ReleaseDC(app.list, dc);
  // Like LVSCW_AUTOSIZE: the contents decide, not the header.
  int width = widest + ScaleToDpi(kLabelPadding, app.dpi);
  if (column == 0 && DirPathOn())  // the check box
    width += MetricForDpi(SM_CXSMICON, app.dpi) + ScaleToDpi(4, app.dpi);
  SendMessageW(app.list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

void RescaleColumns(int fromDpi, int toDpi) {
  HWND list = App().list;
  if (!list || fromDpi == toDpi) return;
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int c = 0; c < count; ++c) {
    const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c),
                 MAKELPARAM(MulDiv(width, toDpi, fromDpi), 0));
  }
}

LRESULT OnListNotify(HWND main, NMHDR* header) {
  switch (header->code) {
    case LVN_GETDISPINFOW: return OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
    case LVN_ODFINDITEMW: return OnFindItem(reinterpret_cast<NMLVFINDITEMW*>(header));
    case LVN_COLUMNCLICK: OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem); return 0;
    case NM_CLICK:
      OnClick(reinterpret_cast<NMITEMACTIVATE*>(header));
      return DefWindowProcW(main, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
    case LVN_KEYDOWN:
      if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_SPACE && DirPathOn())
        ToggleCheck(FocusedRow());
      return 0;
    default:
      return DefWindowProcW(main, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
  }
}

}  // namespace clip
