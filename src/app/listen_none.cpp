#include "app/listen.h"

namespace tonfex {

// The render's libraries (libsndfile, Rubber Band) are not at hand for this build.
ListenSummary renderToWav(const std::filesystem::path&, const std::filesystem::path&,
                          const std::function<void(int, int)>&, Files&) {
    ListenSummary summary;
    summary.error = "Das Vorhören ohne REAPER (eine WAV-Datei wird berechnet) gibt es nur unter "
                    "Linux. Hier öffnet der Knopf „Reaper“ das Projekt in REAPER.";
    return summary;
}

} // namespace tonfex
