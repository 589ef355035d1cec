#include "scan/movie_facts.h"

namespace clip {

const char* OutcomeName(ProbeOutcome outcome) {
  switch (outcome) {
    case ProbeOutcome::NotThis: return "not this container";
    case ProbeOutcome::Whole: return "whole";
    case ProbeOutcome::Truncated: return "truncated";
    case ProbeOutcome::Malformed: return "malformed";
    case ProbeOutcome::BudgetSpent: return "read budget spent";
    case ProbeOutcome::Unsupported: return "unsupported";
  }
  return "unknown";
}

}  // namespace clip
