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
    if (failAll || writes == failWriteNumber) return "Schreibfehler (Datenträger voll?)";
    return DiskFiles::writeWhole(path, bytes);
}

std::string FaultyFiles::append(const std::filesystem::path& path, const std::string& bytes) {
    if (failAll) return "Schreibfehler (Datenträger voll?)";
    return DiskFiles::append(path, bytes);
}

} // namespace tonfex
