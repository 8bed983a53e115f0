#include "platform/doubles.h"

namespace tonfex {

bool ScriptedDialogs::ask(const std::string& title, const std::string& text) {
    bool answer = defaultAnswer;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    records.push_back({true, title, text, answer});
    if (onDialog) onDialog(records.back());
    return answer;
}

void ScriptedDialogs::tell(const std::string& title, const std::string& text) {
    records.push_back({false, title, text, true});
    if (onDialog) onDialog(records.back());
}

std::string FaultyFiles::writeWhole(const std::filesystem::path& path, const std::string& bytes) {
    ++writes;
    written.push_back(path);
    failing_ = failAll || writes == failWriteNumber || (!failPath.empty() && path == failPath);
    std::string error = DiskFiles::writeWhole(path, bytes);
    failing_ = false;
    return error;
}

std::string FaultyFiles::writeTemporary(const std::filesystem::path& temp,
                                        const std::string& bytes) {
    if (!failing_ || fault == Fault::Rename) return DiskFiles::writeTemporary(temp, bytes);
    ++faults;
    if (fault == Fault::Create) return "kann nicht geschrieben werden";
    const size_t reached = fault == Fault::DiskFull ? bytes.size() / 2 : bytes.size();
    DiskFiles::writeTemporary(temp, bytes.substr(0, reached));
    return "Schreibfehler (Datenträger voll?)";
}

std::string FaultyFiles::replaceTarget(const std::filesystem::path& temp,
                                       const std::filesystem::path& path) {
    if (!failing_ || fault != Fault::Rename) return DiskFiles::replaceTarget(temp, path);
    ++faults;
    return "kann nicht ersetzt werden (Zugriff verweigert)";
}

} // namespace tonfex
