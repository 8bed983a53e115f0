#include "platform/doubles.h"

#include <algorithm>
#include <string_view>

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

namespace tonfex {

// A whole write into memory: the bytes collect here and replace the file at finish().
class MemoryWriter : public WholeFileWriter {
public:
    MemoryWriter(MemoryFiles& files, std::string key, std::shared_ptr<int> open)
        : files_(files), key_(std::move(key)), open_(std::move(open)) {
        ++*open_;
    }
    ~MemoryWriter() override { close(); }
    void write(std::string_view bytes) override {
        if (error_.empty()) bytes_.append(bytes);
    }
    void rewriteStart(std::string_view bytes) override {
        if (!error_.empty()) return;
        if (bytes.size() > bytes_.size()) bytes_.resize(bytes.size());
        bytes_.replace(0, bytes.size(), bytes);
    }
    std::string finish() override {
        if (done_) return error_;
        if (error_.empty()) error_ = files_.store(key_, std::move(bytes_));
        close();
        return error_;
    }

private:
    void close() {
        if (done_) return;
        done_ = true;
        --*open_;
    }
    MemoryFiles& files_;
    std::string key_, bytes_, error_;
    std::shared_ptr<int> open_;
    bool done_ = false;
};

namespace {
// A path whose every component is a plain name after one root separator at most, with only
// the preferred separator and no drive: its normal form is itself.
template <class C> bool alreadyNormal(std::basic_string_view<C> p) {
    constexpr C sep = static_cast<C>(std::filesystem::path::preferred_separator);
    constexpr C dots[] = {'.', '.'};
    const std::basic_string_view<C> self(dots, 1), up(dots, 2);
    if (p.empty() || p.back() == sep || p.find(C(':')) != p.npos) return false;
    if (sep != C('/') && p.find(C('/')) != p.npos) return false;
    if (p.front() == sep) p.remove_prefix(1);
    for (size_t start = 0;;) {
        const size_t end = std::min(p.find(sep, start), p.size());
        const auto part = p.substr(start, end - start);
        if (part.empty() || part == self || part == up) return false;
        if (end == p.size()) return true;
        start = end + 1;
    }
}
} // namespace

std::string MemoryFiles::key(const std::filesystem::path& path) {
    if (alreadyNormal(std::basic_string_view<std::filesystem::path::value_type>(path.native())))
        return path.string();
    std::filesystem::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    return normal.string();
}

std::string MemoryFiles::store(const std::string& k, std::string bytes) {
    const std::string parent = std::filesystem::path(k).parent_path().string();
    if (isFolder(k) || !isFolder(parent)) return "kann nicht geschrieben werden";
    files_[k] = std::make_shared<const std::string>(std::move(bytes));
    return "";
}

std::optional<std::string> MemoryFiles::read(const std::filesystem::path& path) {
    if (const std::string* b = bytes(path)) return *b;
    return std::nullopt;
}

const std::string* MemoryFiles::bytes(const std::filesystem::path& path) const {
    auto it = files_.find(key(path));
    return it == files_.end() ? nullptr : it->second.get();
}

void MemoryFiles::put(const std::filesystem::path& path, std::string bytes) {
    const std::string k = key(path);
    createFolder(std::filesystem::path(k).parent_path());
    files_[k] = std::make_shared<const std::string>(std::move(bytes));
}

bool MemoryFiles::remove(const std::filesystem::path& path) {
    return files_.erase(key(path)) != 0;
}

std::unique_ptr<WholeFileWriter> MemoryFiles::writeInPieces(const std::filesystem::path& path) {
    return std::make_unique<MemoryWriter>(*this, key(path), open_);
}

std::string MemoryFiles::append(const std::filesystem::path& path, const std::string& bytes) {
    const std::string k = key(path);
    createFolder(std::filesystem::path(k).parent_path());
    if (isFolder(k)) return "kann nicht gelesen werden";
    auto it = files_.find(k);
    std::string whole = it == files_.end() ? std::string() : *it->second;
    whole += bytes;
    return writeWhole(path, whole);
}

std::string MemoryFiles::copy(const std::filesystem::path& from, const std::filesystem::path& to) {
    auto bytes = read(from);
    if (!bytes) return "ist nicht vorhanden";
    return writeWhole(to, *bytes);
}

bool MemoryFiles::exists(const std::filesystem::path& path) {
    const std::string k = key(path);
    return files_.count(k) != 0 || isFolder(k);
}

std::string MemoryFiles::createFolder(const std::filesystem::path& path) {
    std::filesystem::path p(key(path));
    std::vector<std::string> missing;
    for (; !p.empty() && !isFolder(p.string()); p = p.parent_path()) {
        if (files_.count(p.string())) return "kann nicht angelegt werden";
        missing.push_back(p.string());
        if (p == p.parent_path()) break;
    }
    folders_.insert(missing.begin(), missing.end());
    return "";
}

} // namespace tonfex
