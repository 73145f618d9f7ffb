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
constexpr int kProbeAnswerVersion = 3;
// Stage sets travel as numbers of at most this many bits.
constexpr unsigned kProbeStageBits = 8;

// Bounds of an answer; anything beyond one is no answer of ours and reads
// like a malformed one. A record is a fixed row of about 4 KB in memory, held
// by the scan and by each census: the bound of records in all keeps the
// scanner's memory at a few hundred megabytes at most. The companion's own
// census is bounded by the processes of the system (a module can be loaded
// once per process).
constexpr size_t kProbeAnswerMaxBytes = 32u * 1024 * 1024;
constexpr size_t kProbeAnswerMaxModules = 1024;
constexpr size_t kProbeAnswerMaxRecordsPerModule = 4096;
constexpr size_t kProbeAnswerMaxRecords = 32768;

// How a run of the probe ended.
enum ProbeOutcome {
    PROBE_OK,             // a complete, well-formed answer
    PROBE_NOT_STARTED,    // the probe could not be started
    PROBE_BAD_ANSWER,     // no header, a malformed line, counts that disagree, or
                          // an answer over a bound (also one that memory cannot hold)
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
    unsigned stages = 0;                  // the stages of its provocation that requested it
};

struct ProbeAnswer {
    bool selfTestSeen = false;  // the probe's own self-test module was recorded
    unsigned stagesNotRun = 0;  // the stages of its provocation that could not run
    std::vector<ProbeModule> modules;
};

// The text of an answer. Colours are not part of it: the reader derives them
// from the facts.
std::string WriteProbeAnswer(const ProbeAnswer& answer);

// Reads a whole answer. True and PROBE_OK only for a complete answer of this
// version within the bounds, every record with its process's creation time;
// otherwise answer is left empty and outcome says why. Never throws: an
// answer that memory cannot hold is a bad answer.
bool ParseProbeAnswer(const std::string& text, ProbeAnswer& answer, ProbeOutcome& outcome);
