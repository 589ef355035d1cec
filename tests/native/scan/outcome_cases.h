// Tables of files and how their reading should go, for the parsers' tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "scan/movie_facts.h"

namespace clip::outcometest {

struct Case {
  const char* what;
  std::vector<std::uint8_t> bytes;
  ProbeOutcome want;
};

// Checks the outcome that probe(bytes) gives (a MovieFacts or ProbeFields)
// for each case, by name so that a failure reads plainly.
template <typename Probe>
void ExpectOutcomes(std::initializer_list<Case> cases, Probe probe) {
  for (const Case& c : cases)
    EXPECT_STREQ(OutcomeName(probe(c.bytes).outcome), OutcomeName(c.want)) << c.what;
}

}  // namespace clip::outcometest
