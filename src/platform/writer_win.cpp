// The whole-file write on Windows: a new file under a random name beside the target
// (CREATE_NEW), FlushFileBuffers, and a write-through move over the target.
#include "platform/real.h"

#include <windows.h>

#include <algorithm>
#include <random>

namespace fs = std::filesystem;

namespace tonfex {

namespace {

HANDLE handleOf(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

std::string reason(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return "kann nicht geschrieben werden (Zugriff verweigert)";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "Schreibfehler (Datenträger voll)";
    case ERROR_PATH_NOT_FOUND:
        return "kann nicht geschrieben werden (Ordner nicht vorhanden)";
    default:
        return "kann nicht geschrieben werden (Fehler " + std::to_string(error) + ")";
    }
}

// Eight letters no one can guess.
std::wstring randomPart() {
    static std::mt19937_64 engine{std::random_device{}() ^
                                  static_cast<unsigned long long>(GetTickCount64()) ^
                                  (static_cast<unsigned long long>(GetCurrentProcessId()) << 32)};
    const wchar_t* letters = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring out;
    for (int i = 0; i < 8; ++i)
        out += letters[engine() % 36];
    return out;
}

} // namespace

std::string TemporaryFileWriter::createTemporary() {
    const DWORD attributes = GetFileAttributesW(path_.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "ist ein Ordner";
    if (exists) {
        // Through a link to the file it names; a device (NUL, a pipe) is written into as it is.
        HANDLE h = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && error == ERROR_FILE_NOT_FOUND)
                return "ist ein Verweis auf eine Datei, die es nicht gibt";
            // A file another program holds: the move at the end says so.
            if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
                return reason(error);
        } else {
            if (GetFileType(h) != FILE_TYPE_DISK) {
                handle_ = reinterpret_cast<std::intptr_t>(h);
                temp_.clear();
                return "";
            }
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                wchar_t buffer[32768];
                DWORD n = GetFinalPathNameByHandleW(h, buffer, 32768, FILE_NAME_NORMALIZED);
                if (n > 0 && n < 32768) target_ = fs::path(std::wstring(buffer, n));
            }
            CloseHandle(h);
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temp = target_;
        temp += fs::path(std::wstring(L".tonfex-neu-") + randomPart());
        // No sharing: while it is written, no one else opens or removes it.
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(h);
            temp_ = temp;
            removeLeftovers();
            return "";
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return reason(GetLastError());
    }
    return "kann nicht geschrieben werden";
}

void TemporaryFileWriter::removeLeftovers() {
    const fs::path folder = temp_.parent_path();
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder / L"*.tonfex-neu*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const fs::path path = folder / found.cFileName;
        if (path == temp_ || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        // A writer that is alive keeps its file open without sharing: removing it fails.
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::string TemporaryFileWriter::flushBuffer() {
    const char* at = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0) {
        DWORD n = 0;
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(left, 1 << 20));
        if (!WriteFile(handleOf(handle_), at, piece, &n, nullptr) || n == 0) {
            buffer_.clear();
            return GetLastError() == ERROR_NO_DATA
                       ? "Schreibfehler (der Empfänger hat die Leitung geschlossen)"
                       : "Schreibfehler (Datenträger voll?)";
        }
        at += n;
        left -= n;
    }
    buffer_.clear();
    return "";
}

void TemporaryFileWriter::rewriteStart(std::string_view bytes) {
    if (!error_.empty() || !created_) return;
    if (error_ = flushBuffer(); !error_.empty()) return;
    if (temp_.empty()) return; // a device cannot go back
    LARGE_INTEGER zero{}, end{};
    HANDLE h = handleOf(handle_);
    DWORD n = 0;
    if (!SetFilePointerEx(h, zero, &end, FILE_CURRENT) ||
        !SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) ||
        !WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) ||
        n != bytes.size() || !SetFilePointerEx(h, end, nullptr, FILE_BEGIN))
        error_ = "Schreibfehler (Datenträger voll?)";
}

std::string TemporaryFileWriter::closeTemporary() {
    std::string error = flushBuffer();
    HANDLE h = handleOf(handle_);
    // The data reaches the disk before the name points at it.
    if (error.empty() && !temp_.empty() && !FlushFileBuffers(h))
        error = "Schreibfehler (Datenträger voll?)";
    handle_ = -1;
    if (!CloseHandle(h) && error.empty() && !temp_.empty())
        error = "Schreibfehler (Datenträger voll?)";
    return error;
}

std::string TemporaryFileWriter::replaceTarget() {
    if (temp_.empty()) return "";
    return replaceFile(temp_, target_);
}

void TemporaryFileWriter::closeHandle() {
    if (handle_ == -1) return;
    CloseHandle(handleOf(handle_));
    handle_ = -1;
}

} // namespace tonfex
