// lum site: a static web site of the model, opened from the file system.

#include <chrono>
#include <iomanip>

#include "commands.h"

namespace lumcli {

int RunSite(const lum::Model& model, const tOptions& options, std::ostream& out) {
    const auto start = std::chrono::steady_clock::now();
    const lum::publish::SiteSummary summary = lum::publish::WriteSite(model, options.outputFile);
    if (!summary.ok) {
        std::cerr << "lum: " << summary.error << '\n';
        return 2;
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    out << options.outputFile << "/index.html: " << summary.pages << " pages (" << summary.diagrams << " diagrams), "
        << summary.indexEntries << " names in the search index, " << std::fixed << std::setprecision(1)
        << static_cast<double>(summary.bytes) / 1e6 << " MB in " << std::setprecision(2) << seconds.count() << " s\n";
    return StatusOf(model);
}

}  // namespace lumcli
