// The steps of one run of the 64-bit companion: the same stages of the
// provocation as the 32-bit scan (scanner/provocation.h), so the system asks
// for the modules of 64-bit system-wide hooks here, and the census of the
// modules it asked for.
#pragma once

#include <windows.h>

#include <string>

#include "findings/probe_answer.h"
#include "scanner/provocation_stage.h"

// The modules asked for (the self-test's aside) with their stages, whether
// the self-test's module was asked for, the stages that could not run, and
// the census of every process with the autorun inventory of this moment.
ProbeAnswer TakeProbeCensus(StageSet stagesNotRun);
