// veyrith_scan: one scan from the command line, for scripts and for the
// administrators of many computers. It provokes the system-wide hooks in a
// tiny window of its own, checks itself as every scan does, and reports
// each module found with the processes that have it loaded. It changes
// nothing on the machine.
//   veyrith_scan [--json FILE] [--html FILE] [--help | -h]
// Exit codes: 0 a confirmed scan found nothing, 1 at least one module found,
// 2 the scan could not confirm that it sees hooks (and found nothing),
// 3 usage or output error.
#include <windows.h>

#include <shellapi.h>

#include "common/owners.h"
#include "common/string_resource.h"
#include "report/report_page.h"
#include "scanner/loader_hooks.h"
#include "veyrith_scan/resources/scan_resource.h"
#include "veyrith_scan/scan_options.h"
#include "veyrith_scan/scan_output.h"
#include "veyrith_scan/console_scan.h"

// The loader hooks install themselves during static construction of their
// unit; this reference keeps that unit in the program.
__attribute__((used)) static CHookRequests* const kHookRequests = &g_hookRequests;

namespace {

enum ExitCode { EXIT_NOTHING_FOUND = 0, EXIT_FOUND = 1, EXIT_UNCONFIRMED = 2, EXIT_USAGE_OR_OUTPUT = 3 };

// The command line's arguments in UTF-16, in one block of the system's
// memory that goes with the object.
class CArguments {
public:
    CArguments() : m_args(CommandLineToArgvW(GetCommandLineW(), &m_count)) {}
    // Without the program's name.
    int Count() const { return m_args && m_count > 0 ? m_count - 1 : 0; }
    const wchar_t* const* Values() const { return m_args ? static_cast<wchar_t**>(m_args.Get()) + 1 : nullptr; }

private:
    int m_count = 0;
    CLocalMemory m_args;
};

// Writes one output; a failure is said on standard error.
bool WriteOutput(const std::wstring& path, const std::string& bytes) {
    if (path.empty() || WriteWholeFile(path, bytes)) return true;
    PrintText(FormatResText(IDS_CLI_OUTPUT_ERROR, L"%s", path) + L"\r\n", true);
    return false;
}

int ExitCodeFor(const CScanResult& result) {
    if (!result.Empty()) return EXIT_FOUND;
    return result.Confirmed() ? EXIT_NOTHING_FOUND : EXIT_UNCONFIRMED;
}

int Scan(const ScanOptions& options) {
    CScanResult outcome = RunScan(GetModuleHandleW(nullptr));
    SYSTEMTIME utc = {};
    GetSystemTime(&utc);
    bool written = WriteOutput(options.jsonPath, ScanJson(outcome, ComputerName(), utc));
    if (!options.htmlPath.empty()) written = WriteOutput(options.htmlPath, ScanReport(outcome)) && written;
    // Standard output carries either a document or the summary.
    if (options.jsonPath != L"-" && options.htmlPath != L"-") PrintText(ScanSummary(outcome));
    return written ? ExitCodeFor(outcome) : EXIT_USAGE_OR_OUTPUT;
}

}  // namespace

int main() {
    CArguments arguments;
    ScanOptions options;
    std::wstring wrong;
    if (!ParseScanArguments(arguments.Count(), arguments.Values(), options, wrong)) {
        PrintText(FormatResText(IDS_CLI_WRONG_ARGUMENT, L"%s", wrong) + L"\r\n\r\n", true);
        PrintText(LoadResString(IDS_CLI_USAGE), true);
        return EXIT_USAGE_OR_OUTPUT;
    }
    if (options.help) {
        PrintText(LoadResString(IDS_CLI_USAGE));
        return EXIT_NOTHING_FOUND;
    }
    return Scan(options);
}
