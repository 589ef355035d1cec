// Times the settings file's own reader and writer on a full settings file
// of every key the program writes: the reads of start-up (LoadSettings,
// about forty keys, each opening the file anew), one write, and one read of
// a 10 MB file. Prints one line per operation: "<name> <milliseconds>"
// (best of several runs).
//   ini_file_bench [folder]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "settings/ini_file.h"
#include "settings/settings.h"
#include "best_ms.h"

namespace {

// Every key the program writes, with the values of a real file.
const char kFullFile[] =
    "[Customize]\r\nFileSizeKB=1\r\nFileSizeBT=0\r\nFileSizeMB=0\r\nMovieTitle=1\r\n"
    "MoveInfo=1\r\nAudioInfo=1\r\nVideoRate=1\r\nAudioRate=1\r\nFlameRate=1\r\n"
    "Resolusion=1\r\nPlayTime=1\r\nCreater=0\r\nJanle=0\r\nComment=0\r\nDirPath=1\r\n"
    "VolLabel=0\r\nSizeInfo=1\r\nListClear=0\r\nAutoScan=D:\\Movies\\Anime\r\n"
    "MainColor=0x0\r\nListFoColor=0x0\r\nListBkColor=0xffffff\r\n"
    "[WindowFonts]\r\nMainFontSize=12\r\nListFontSize=12\r\n"
    "MainFontType=\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E\r\n"
    "ListFontType=\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E\r\nEditFontType=\r\n"
    "[MainSeting]\r\nLeft=64\r\nTop=64\r\nWidth=800\r\nHeight=600\r\nToolBar=1\r\n"
    "StatusBar=1\r\nGridLine=1\r\nEndSet=1\r\nLoadPath=D:\\Lists\r\nSavePath=D:\\Lists\r\n"
    "mvTitle=Clipledger\r\n"
    "[HtmlSetting]\r\nCaption=Movies\r\nTopTitle=My movies\r\nFoFontSize=5\r\nFiiFontSize=2\r\n";

bool Put(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "/tmp";
  const std::string path = folder + "/ini_file_bench.ini";
  if (!Put(path, kFullFile)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  clip::IniFile ini(path);
  clip::Settings s;
  std::printf("startup_reads %.4f\n", BestMs(200, [&] { clip::LoadSettings(ini, s); }));
  int n = 0;
  std::printf("write %.4f\n", BestMs(200, [&] {
                ini.WriteString("MainSeting", "Left", std::to_string(n++ % 2 ? 64 : 65));
              }));
  std::string big;
  for (int i = 0; big.size() < 10 * 1000 * 1000; ++i)
    big += "[Sec" + std::to_string(i) + "]\r\nkey=" + std::string(200, 'v') + "\r\n";
  big += "[MainSeting]\r\nLeft=5\r\n";
  Put(path, big);
  std::printf("read_10mb %.4f\n", BestMs(5, [&] { (void)ini.GetInt("MainSeting", "Left", 0); }));
  std::printf("write_10mb %.4f\n",
              BestMs(3, [&] { ini.WriteString("MainSeting", "Left", std::to_string(n++)); }));
  std::remove(path.c_str());
  return 0;
}
