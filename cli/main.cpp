// clipledger-cli: the catalogue of movie files from a command line.
#include <cstdio>
#include <new>

#include "cli/cli.h"

int main(int argc, char** argv) {
  try {
    std::unique_ptr<clip::CliPlatform> platform = clip::MakeCliPlatform();
    return clip::RunCli(clip::CliArguments(argc, argv), *platform);
  } catch (const std::bad_alloc&) {
    std::fputs("clipledger-cli: out of memory\n", stderr);
    return clip::kCliUsage;
  }
}
