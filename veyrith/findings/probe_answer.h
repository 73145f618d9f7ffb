// The answer of the 64-bit companion (veyrith_probe64.exe): the monitoring
// modules it recorded and the census of each, as a small line-based text
// that the 64-bit probe writes to its standard output and the 32-bit scanner
// reads. Both widths build this unit. Paths and names travel as UTF-8. The
// format is described in docs/probe64.md; kProbeAnswerVersion changes
// whenever it does.
#pragma once

#include <string>
#include <vector>

#include "findings/findings.h"

// The first line of every answer: kProbeAnswerHeader, a space, the version.
constexpr char kProbeAnswerHeader[] = "VEYRITH-PROBE64";
constexpr int kProbeAnswerVersion = 2;

// How a run of the probe ended.
enum ProbeOutcome {
    PROBE_OK,             // a complete, well-formed answer
    PROBE_NOT_STARTED,    // the probe could not be started
    PROBE_BAD_ANSWER,     // no header, a malformed line, or counts that disagree
    PROBE_WRONG_VERSION,  // an answer of another version of the format
    PROBE_ENDED_EARLY,    // the answer stops before its end line
    PROBE_TIMED_OUT,      // the probe took too long and was ended
    PROBE_CANCELLED,      // the run was cancelled
};

// One monitoring module of the probe with its affected applications, in the
// order the probe listed the processes.
struct ProbeModule {
    std::wstring path;
    std::vector<CListItemState> records;  // colours applied (ApplyAlertLevel)
};

struct ProbeAnswer {
    bool selfTestSeen = false;  // the probe's own self-test module was recorded
    std::vector<ProbeModule> modules;
};

// The text of an answer. Colours are not part of it: the reader derives them
// from the facts.
std::string WriteProbeAnswer(const ProbeAnswer& answer);

// Reads a whole answer. True and PROBE_OK only for a complete answer of this
// version; otherwise answer is left empty and outcome says why.
bool ParseProbeAnswer(const std::string& text, ProbeAnswer& answer, ProbeOutcome& outcome);
