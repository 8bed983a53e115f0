#include "platform/doubles.h"

namespace tonfex {

bool ScriptedDialogs::nextAnswer() {
    if (answers.empty()) return defaultAnswer;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedDialogs::ask(const std::string& title, const std::string& text) {
    bool answer = nextAnswer();
    records.push_back({true, title, text, answer});
    if (onDialog) onDialog(records.back());
    return answer;
}

Answer ScriptedDialogs::askAll(const std::string& title, const std::string& text) {
    Answer answer;
    if (allAnswers.empty()) {
        answer = nextAnswer() ? Answer::Yes : Answer::No;
    } else {
        answer = allAnswers.front();
        allAnswers.pop_front();
    }
    records.push_back({true, title, text, answer != Answer::No, true, answer == Answer::YesToAll});
    if (onDialog) onDialog(records.back());
    return answer;
}

void ScriptedDialogs::tell(const std::string& title, const std::string& text) {
    records.push_back({false, title, text, true});
    if (onDialog) onDialog(records.back());
}

namespace {

// A whole write that fails at one step.
class FaultyWriter : public TemporaryFileWriter {
public:
    FaultyWriter(const std::filesystem::path& path, FaultyFiles::Fault fault, int& faults)
        : TemporaryFileWriter(path), fault_(fault), faults_(faults) {}

protected:
    using Fault = FaultyFiles::Fault;
    std::string createTemporary() override {
        if (fault_ != Fault::Create) return TemporaryFileWriter::createTemporary();
        ++faults_;
        return "kann nicht geschrieben werden";
    }
    std::string writeTemporary(std::string_view bytes) override {
        if (fault_ != Fault::DiskFull) return TemporaryFileWriter::writeTemporary(bytes);
        ++faults_;
        TemporaryFileWriter::writeTemporary(bytes.substr(0, bytes.size() / 2));
        return "Schreibfehler (Datenträger voll?)";
    }
    std::string closeTemporary() override {
        std::string error = TemporaryFileWriter::closeTemporary();
        if (fault_ != Fault::Flush) return error;
        ++faults_;
        return "Schreibfehler (Datenträger voll?)";
    }
    std::string replaceTarget() override {
        if (fault_ != Fault::Rename) return TemporaryFileWriter::replaceTarget();
        ++faults_;
        return "kann nicht ersetzt werden (Zugriff verweigert)";
    }

private:
    Fault fault_;
    int& faults_;
};

} // namespace

std::unique_ptr<WholeFileWriter> FaultyFiles::writeInPieces(const std::filesystem::path& path) {
    ++writes;
    written.push_back(path);
    if (failAll || writes == failWriteNumber || (!failPath.empty() && path == failPath))
        return std::make_unique<FaultyWriter>(path, fault, faults);
    return DiskFiles::writeInPieces(path);
}

} // namespace tonfex
