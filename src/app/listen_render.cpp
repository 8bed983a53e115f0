#include "app/listen.h"

#include "render/render.h"

#include <cmath>

namespace tonfex {

ListenSummary renderToWav(const std::filesystem::path& project, const std::filesystem::path& wav,
                          const std::function<void(int, int)>& progress, Files& files) {
    ListenSummary summary;
    render::ReadResult read = render::readProjectFile(project, files);
    if (!read.error.empty()) {
        summary.error = read.error;
        return summary;
    }
    render::RenderOptions options;
    options.progress = progress;
    options.files = &files;
    const render::RenderResult result = render::renderProject(read.project, wav, options);
    summary.error = result.error;
    summary.seconds = result.seconds;
    summary.peakDb = 20 * std::log10(std::max(result.peak, 1e-10));
    summary.gainDb = result.gainDb;
    summary.items = result.items;
    summary.shifts = result.shifts;
    summary.reused = result.reused;
    return summary;
}

} // namespace tonfex
