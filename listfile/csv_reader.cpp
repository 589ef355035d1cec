#include "listfile/csv_reader.h"

#include <climits>
#include <cstring>

namespace clip {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

bool IsDigit(unsigned char b) { return b >= '0' && b <= '9'; }

// Bytes that need the byte-wise path in each kind of line; runs of other
// bytes are copied into the field in one go.
struct SpecialBytes {
  bool quoted[256] = {};
  bool plain[256] = {};
  constexpr SpecialBytes() {
    for (unsigned char b : {'"', '\r', '\n', '\0'}) quoted[b] = true;
    for (unsigned char b : {',', '\r', '\n', '\0'}) plain[b] = true;
  }
};
constexpr SpecialBytes kSpecial;

// The field splitting of one line. It sees the line's bytes after CR LF has
// become a line end, so it works the same on CR LF and LF files.
class LineSplitter {
 public:
  LineSplitter(CsvRecord& record, bool quoted)
      : record_(record), quoted_(quoted), out_(&record.fields[0]) {}

  bool quoted() const { return quoted_; }
  // True when no byte is held back, so a run of ordinary bytes can be
  // copied straight into the field.
  bool Idle() const { return quoted_ ? pending_ == kNone : !pendingComma_; }

  // A run of bytes none of which is special for this kind of line (NUL is
  // special everywhere).
  void Run(const char* p, std::size_t n) {
    prevDigit_ = IsDigit(static_cast<unsigned char>(p[n - 1]));
    if (!out_ || cut_) return;
    std::size_t room = kCsvFieldMax - out_->size();
    out_->append(p, n < room ? n : room);
  }

  void Data(unsigned char b) {
    if (quoted_) {
      QuotedData(b);
    } else {
      PlainData(b);
    }
  }

  // The next field begins.
  void Separator() {
    if (record_.lastField < INT_MAX) ++record_.lastField;
    out_ = record_.lastField < kCsvFieldSlots ? &record_.fields[record_.lastField] : nullptr;
    cut_ = false;
  }

  // The line ends here (LF, or the end of the file).
  void End() {
    if (quoted_) {
      // A quote held back is the closing quote and is dropped; quote and
      // comma without the next field's opening quote are data.
      if (pending_ == kQuoteComma) {
        Put('"');
        Put(',');
      }
    } else if (pendingComma_) {
      Separator();  // nothing follows the comma, so no digit guards it
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
          Put(static_cast<char>(b));
        }
        break;
      case kQuote:
        if (b == ',') {
          pending_ = kQuoteComma;
        } else if (b == '"') {
          Put('"');  // the earlier quote was data; this one is held back
        } else {
          Put('"');
          Put(static_cast<char>(b));
          pending_ = kNone;
        }
        break;
      case kQuoteComma:
        pending_ = kNone;
        if (b == '"') {
          Separator();
        } else {
          Put('"');
          Put(',');
          Put(static_cast<char>(b));
        }
        break;
    }
  }

  // Plain line: a comma separates unless a digit stands on either side.
  void PlainData(unsigned char b) {
    if (pendingComma_) {
      pendingComma_ = false;
      if (IsDigit(b)) {
        Put(',');
      } else {
        Separator();
      }
    }
    if (b == ',' && !prevDigit_) {
      pendingComma_ = true;
    } else {
      Put(static_cast<char>(b));
    }
    prevDigit_ = IsDigit(b);
  }

  void Put(char c) {
    if (!out_ || cut_) return;
    if (c == '\0') {
      cut_ = true;  // a cell is a zero-terminated text: the rest is not shown
    } else if (out_->size() < kCsvFieldMax) {
      out_->push_back(c);
    }
  }

  CsvRecord& record_;
  const bool quoted_;
  std::string* out_;  // the field being filled; null past the last slot
  bool cut_ = false;  // the field met a NUL byte
  Pending pending_ = kNone;
  bool pendingComma_ = false;
  bool prevDigit_ = false;  // the line's first byte has no digit before it
};

}  // namespace

CsvReader::CsvReader(std::FILE* file) : file_(file), block_(kBlockSize) {
  cur_ = end_ = block_.data();
}

CsvReader::CsvReader(std::string_view data) : cur_(data.data()), end_(data.data() + data.size()) {}

bool CsvReader::Refill() {
  if (!file_ || error_) return false;
  std::size_t n = std::fread(block_.data(), 1, block_.size(), file_);
  if (n == 0) {
    if (std::ferror(file_)) error_ = true;
    return false;
  }
  cur_ = block_.data();
  end_ = cur_ + n;
  return true;
}

int CsvReader::Next(CsvRecord& record) {
  for (int i = 0; i < record.SlotCount(); ++i) record.fields[static_cast<std::size_t>(i)].clear();
  record.lastField = 0;
  if (cur_ == end_ && !Refill()) return 1;

  LineSplitter line(record, *cur_ == '"');
  if (line.quoted()) ++cur_;
  const bool* special = line.quoted() ? kSpecial.quoted : kSpecial.plain;
  bool pendingCR = false;  // a CR that ends the line if LF follows
  for (;;) {
    if (cur_ == end_ && !Refill()) {
      if (pendingCR) line.Data('\r');
      line.End();
      return 0;
    }
    if (!pendingCR && line.Idle()) {
      const char* p = cur_;
      while (p != end_ && !special[static_cast<unsigned char>(*p)]) ++p;
      if (p != cur_) {
        line.Run(cur_, static_cast<std::size_t>(p - cur_));
        cur_ = p;
        if (cur_ == end_) continue;
      }
      // The separators and line end of a written list, when they lie
      // within the block: a quote before comma-quote or before the line end.
      if (line.quoted() && *cur_ == '"' && end_ - cur_ >= 3) {
        if (cur_[1] == ',' && cur_[2] == '"') {
          line.Separator();
          cur_ += 3;
          continue;
        }
        if (cur_[1] == '\r' && cur_[2] == '\n') {
          cur_ += 3;
          line.End();
          return 0;
        }
      }
    }
    unsigned char b = static_cast<unsigned char>(*cur_++);
    if (pendingCR) {
      pendingCR = false;
      if (b == '\n') {
        line.End();
        return 0;
      }
      line.Data('\r');
    }
    if (b == '\r') {
      pendingCR = true;
    } else if (b == '\n') {
      line.End();
      return 0;
    } else {
      line.Data(b);
    }
  }
}

}  // namespace clip
