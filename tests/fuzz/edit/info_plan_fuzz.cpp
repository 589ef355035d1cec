// Hostile bytes for the idx1 locator and the no-damage decision. Whatever
// the file holds, the decision must stay inside it, and a file we may write
// must, once written, be one we may write again with the texts read back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "edit/info_list.h"
#include "memory_file.h"

using namespace clip;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  MemoryMovieFile src(data, size);
  InfoPlan plan = PlanInfoWrite(src);
  ParseOwnInfoList(bytes);
  if (plan.fault != InfoFault::None) return 0;
  if (plan.offset > bytes.size()) std::abort();
  if (plan.replace != (plan.offset < bytes.size())) std::abort();

  // Write as the writer does: the new list at the offset, the rest cut away.
  InfoRequest request;
  request.title = bytes.substr(0, std::min<std::size_t>(bytes.size(), 7));
  request.comment = "";  // creator kept from the replaced list
  const InfoTexts texts = ResolveInfoTexts(request, plan.oldTexts);
  const std::string written = bytes.substr(0, plan.offset) + RenderInfoList(texts);

  MemoryMovieFile again(written.data(), written.size());
  InfoPlan next = PlanInfoWrite(again);
  if (next.fault != InfoFault::None || !next.replace || next.offset != plan.offset) std::abort();
  // The texts read back are the ones written (a value ends at a zero byte).
  const std::string title = texts.title.substr(0, texts.title.find('\0'));
  if (next.oldTexts.title != title || next.oldTexts.creator != texts.creator) std::abort();
  return 0;
}
