// What only Windows does, run under Wine: the launchers' command lines on "C:\Arbeit\" and
// real program starts, closing windows by their titles, MIDI through winmm, the decimal
// separator of the Windows locale, and files that Windows will not let the program replace.
#include "app/fixture.h"
#include "app/commands.h"
#include "app/launchers.h"
#include "core/errors.h"
#include "platform/midi.h"
#include "platform/real.h"

#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

using namespace tonfex;
using testkit::AppTest;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

// Tests that work in the program's own folder: the Windows test run names "C:\Arbeit\" in
// TONFEX_TEST_ARBEIT (a Wine prefix of its own); anywhere else they leave the folder alone.
struct ArbeitTest : AppTest {
    void SetUp() override {
        if (tmp.dir() != fs::path("C:\\Arbeit\\"))
            GTEST_SKIP() << "needs TONFEX_TEST_ARBEIT=C:\\Arbeit\\ in a Wine prefix of its own";
    }
};

// The file's bytes once it is there (a started program writes it), removing it; nothing when
// it does not come within half a minute. A file still held by its writer reads empty.
std::optional<std::string> takeFileWhenThere(const fs::path& path) {
    for (int round = 0; round < 600; ++round) {
        if (std::string bytes = testkit::readBytes(path); !bytes.empty()) {
            std::error_code ec;
            fs::remove(path, ec);
            return bytes;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
}

// Hidden top-level windows of the test's own with the given titles. The closer sends WM_CLOSE
// straight to a window of its own thread, and the default window procedure destroys it.
// Hidden, because without a window manager Wine waits for one when a shown window goes.
class TestWindows {
public:
    explicit TestWindows(const std::vector<std::wstring>& titles) {
        WNDCLASSW type{};
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"TonfexTestFenster";
        RegisterClassW(&type); // fails harmlessly when an earlier window registered it
        for (const auto& title : titles)
            windows_.push_back(CreateWindowExW(0, type.lpszClassName, title.c_str(),
                                               WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                                               nullptr, type.hInstance, nullptr));
    }
    ~TestWindows() {
        for (HWND w : windows_)
            if (IsWindow(w)) DestroyWindow(w);
    }
    // "1" for each window still open, "0" for each closed one, in order.
    std::string open() const {
        std::string flags;
        for (HWND w : windows_)
            flags += IsWindow(w) ? '1' : '0';
        return flags;
    }

private:
    std::vector<HWND> windows_;
};

} // namespace

TEST_F(ArbeitTest, RealStartsHandTheProgramsTheirCommandLinesLetterForLetter) {
    SystemProgramStarter starter;
    SystemWindowCloser closer;
    Platform system{tp.dialogs, tp.clipboard, starter,   closer,
                    tp.clock,   tp.events,    tp.random, tp.files};
    App real(system, app.folder, '.', OsKind::Windows);

    // Without the editor the start fails, and the program says which one.
    findControl("Command2")->run(real, {});
    ASSERT_EQ(tp.dialogs.records.size(), 1u);
    EXPECT_EQ(tp.dialogs.records[0].text,
              "Das Programm C:\\Arbeit\\Editor-K\\NoteTab.exe konnte nicht gestartet werden.");

    // A stand-in that records its command line and window state in place of each program.
    const bool madeProgramme = !fs::exists("C:\\Programme");
    struct RemoveProgramme {
        bool made;
        ~RemoveProgramme() {
            std::error_code ec;
            if (made) fs::remove_all("C:\\Programme", ec);
        }
    } removeProgramme{madeProgramme};
    for (const char* program :
         {"C:\\Arbeit\\Editor-K\\NoteTab.exe", "C:\\Programme\\REAPER\\reaper.exe",
          "C:\\Programme\\capella2008\\capella.exe", "C:\\Arbeit\\IrfanView\\i_view32.exe"}) {
        fs::create_directories(fs::path(program).parent_path());
        fs::copy_file(programFolder() / "win32_remote.exe", program,
                      fs::copy_options::overwrite_existing);
    }
    TestWindows viewer({L"FM-TEST-10-2.BMP - IrfanView (Zoom 50%)", L"Tonfex 1.31"});

    for (const auto& launch : testkit::launchers()) {
        findControl(launch.name)->run(real, {});
        const std::string line = testkit::windowsLine(launch.kind, launch.file);
        fs::path program = line.substr(0, line.find(".exe") + 4);
        auto record = takeFileWhenThere(program.parent_path() / "Aufruf.txt");
        ASSERT_TRUE(record) << launch.name << " did not start";
        const bool minimized = launch.kind <= testkit::Launcher::Reaper;
        EXPECT_EQ(*record,
                  line + "\n" + std::to_string(minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL) + "\n")
            << launch.name;
    }
    EXPECT_EQ(tp.dialogs.records.size(), 1u);
    // Infos closed the open viewer before it started the new one.
    EXPECT_EQ(viewer.open(), "01");
}

TEST(WindowCloser, ClosesEveryWindowWhoseTitleContainsTheTextInAnyCase) {
    TestWindows windows({L"Fm-Test-10-2.bmp - IrfanView", L"FM-TEST-10-2.BMP - IRFANVIEW (2)",
                         L"ÜBERSICHT.JPG - IrfanView", L"Tonfex 1.31 vom 29.08.2014"});
    SystemWindowCloser closer;
    closer.closeContaining("fm-test-10-2.bmp - irfanview");
    EXPECT_EQ(windows.open(), "0011");
    closer.closeContaining("übersicht.jpg"); // umlauts follow the case rules too
    EXPECT_EQ(windows.open(), "0001");

    // A viewer that has stopped answering holds up neither the program nor the rest of the walk.
    const std::wstring stuck = L"Fm-Test-10-2.bmp - IrfanView (keine Rückmeldung)";
    std::wstring line = L"win32_remote.exe ohne-antwort \"" + stuck + L"\"";
    const std::wstring program = (programFolder() / "win32_remote.exe").wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    for (int round = 0; round < 600 && !FindWindowW(nullptr, stuck.c_str()); ++round)
        Sleep(50);
    EXPECT_TRUE(FindWindowW(nullptr, stuck.c_str()));
    TestWindows later({L"fm-test-10-2.bmp - irfanview (neu)"});
    closer.closeContaining("Fm-Test-10-2.bmp - IrfanView");
    EXPECT_EQ(later.open() + windows.open(), "00001");
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

namespace {
// Passes every call on to the system's MIDI and keeps what it answered.
class WatchedMidi : public MidiSystem {
public:
    explicit WatchedMidi(MidiSystem& system) : system_(system) {}
    int deviceCount() override { return system_.deviceCount(); }
    std::optional<std::string> deviceName(int device) override {
        return system_.deviceName(device);
    }
    unsigned open(int device, MidiHandle& handle) override {
        opens.push_back(system_.open(device, handle));
        return opens.back();
    }
    unsigned close(MidiHandle handle) override { return system_.close(handle); }
    unsigned shortMessage(MidiHandle handle, std::uint32_t message) override {
        sent.push_back(message);
        results.push_back(system_.shortMessage(handle, message));
        return results.back();
    }
    std::string errorText(unsigned code) override { return system_.errorText(code); }

    std::vector<unsigned> opens, results;
    std::vector<std::uint32_t> sent;

private:
    MidiSystem& system_;
};
} // namespace

TEST_F(AppTest, WinmmListsItsDevicesAndTakesAWholePlayOrStaysSilent) {
    // What winmm itself says about its devices, asked directly.
    Lines names;
    std::vector<long> numbers;
    MIDIOUTCAPSA caps{};
    for (UINT d = MIDI_MAPPER, n = midiOutGetNumDevs(); d == MIDI_MAPPER || d < n; ++d)
        if (midiOutGetDevCapsA(d, &caps, sizeof caps) == MMSYSERR_NOERROR)
            names.push_back(caps.szPname), numbers.push_back(d == MIDI_MAPPER ? -1 : long(d));

    auto winmm = makeSystemMidi();
    WatchedMidi watched(*winmm);
    app.useMidiSystem(watched);
    settings({{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "3"}, {"TONDAUERDIREKT", "1"}});
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 480\r\n64 127 240\r\n67 1 120\r\n");
    app.Form_Load();
    EXPECT_EQ(app.c.List1.lines(), names);
    EXPECT_EQ(app.c.List1.itemData(), numbers);
    ASSERT_EQ(watched.opens.size(), 1u); // the MIDI mapper, at start
    // The instrument names lie beside the program.
    ASSERT_EQ(app.c.lst_sound_list.count(), 128);
    EXPECT_EQ(app.c.lst_sound_list.lines()[0], "Akustischer Flügel");

    watched.sent.clear(), watched.results.clear();
    const int errorsBefore = app.midi.out.errorCount;
    app.Startknopf_Click();
    EXPECT_TRUE(tp.dialogs.records.empty());
    EXPECT_EQ(app.c.Daten.lines().back(), "3  67  1  120"); // the play went to its end

    // The same play from the start on the recorder: winmm was given the very same messages.
    App reference(tp.platform, tmp.folder(), '.', OsKind::Windows);
    reference.useMidiSystem(midi);
    reference.Form_Load();
    midi.messages.clear();
    reference.Startknopf_Click();
    std::vector<std::uint32_t> recorded;
    for (const auto& m : midi.messages)
        recorded.push_back(m.message);
    EXPECT_EQ(watched.sent, recorded);

    const unsigned sendErrors = static_cast<unsigned>(std::count_if(
        watched.results.begin(), watched.results.end(), [](unsigned r) { return r; }));
    // With a device nothing is refused; without one every message is, silently, and the play
    // still runs.
    std::cout << "[ winmm ] open answered " << watched.opens[0] << "\n";
    EXPECT_EQ(app.midi.out.errorCount - errorsBefore, static_cast<int>(sendErrors));
    if (watched.opens[0] == MMSYSERR_NOERROR) {
        EXPECT_EQ(sendErrors, 0u);
    } else {
        EXPECT_EQ(std::count(watched.results.begin(), watched.results.end(),
                             unsigned{MMSYSERR_INVALHANDLE}),
                  static_cast<std::ptrdiff_t>(watched.sent.size()));
        char text[128] = {};
        midiOutGetErrorTextA(MMSYSERR_INVALHANDLE, text, sizeof text);
        EXPECT_NE(std::string(text), "");
        EXPECT_EQ(winmm->errorText(MMSYSERR_INVALHANDLE), text);
    }
}

namespace {
// Sets the user's decimal separator in the Windows regional settings, and puts the old one back.
struct UserDecimal {
    wchar_t old[8] = {};
    explicit UserDecimal(const wchar_t* separator) {
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, old, 8);
        EXPECT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator));
    }
    ~UserDecimal() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old); }
};
} // namespace

TEST_F(AppTest, TheDecimalSeparatorIsTheOneOfTheWindowsRegionalSettings) {
    settings({{"TEMPO", "1.5"}});
    for (auto [separator, shown] :
         {std::pair{L",", "  Tempo 1,5 (tempi)"}, std::pair{L".", "  Tempo 1.5 (tempi)"}}) {
        UserDecimal regional(separator);
        App window(tp.platform, tmp.folder(), systemDecimalSeparator(), OsKind::Windows);
        window.useMidiSystem(midi);
        window.Form_Load();
        const auto& summary = window.c.inidat.lines();
        EXPECT_NE(std::find(summary.begin(), summary.end(), shown), summary.end()) << shown;
    }
}

TEST_F(ArbeitTest, AFileWindowsKeepsStaysWholeAndTheMessageSaysWhy) {
    const fs::path melody = "C:\\Arbeit\\Tonfex.txt";
    testkit::writeBytes(melody, "64 80 2\r\n");
    const std::string why = "kann nicht ersetzt werden (schreibgeschützt oder in einem anderen "
                            "Programm geöffnet)";
    // Held open by another program.
    HANDLE held = CreateFileW(melody.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(tp.files.writeWhole(melody, "60 100 4\r\n"), why);
    // The melody writer reports it with the file's name.
    app.melody.Tonzahl = 1;
    app.melody.Tonhoehe[1] = 60, app.melody.Lautstaerke[1] = 100, app.melody.Tondauer[1] = 4;
    EXPECT_THROW(Schreib(app.melody, app.s, tp.files, tp.dialogs, app.folder), CommandEnd);
    ASSERT_EQ(tp.dialogs.records.size(), 1u);
    EXPECT_EQ(tp.dialogs.records[0].text,
              "Die Melodiedatei C:\\Arbeit\\Tonfex.txt konnte nicht geschrieben werden: " + why);
    EXPECT_EQ(testkit::readBytes(melody), "64 80 2\r\n");
    EXPECT_FALSE(testkit::temporaryFileIn("C:\\Arbeit"));
    // Once it is free again, the whole file is replaced.
    CloseHandle(held);
    Schreib(app.melody, app.s, tp.files, tp.dialogs, app.folder);
    EXPECT_EQ(testkit::readBytes(melody), "60 100 4\r\n");
}

TEST(WindowsStarts, ProgramAndFileWithBlanksStayOneArgumentEach) {
    // The arguments as CommandLineToArgvW, the C runtime's rules, splits them again.
    auto split = [](const std::string& line) {
        std::vector<std::wstring> out;
        int count = 0;
        std::wstring wide = pathFromUtf8(line).wstring();
        if (LPWSTR* args = CommandLineToArgvW(wide.c_str(), &count)) {
            for (int i = 0; i < count; ++i)
                out.emplace_back(args[i]);
            LocalFree(args);
        }
        return out;
    };
    for (const std::string tricky :
         {"C:\\Arbeit\\mit Leer zeichen\\", "sagt \"ja\"", "a\\\\\"b c", "ohne"})
        EXPECT_EQ(split("p.exe " + quoteWindowsArgument(tricky)),
                  (std::vector<std::wstring>{L"p.exe", pathFromUtf8(tricky).wstring()}))
            << tricky;

    const fs::path folder = "C:\\Arbeit\\mit Leer zeichen";
    fs::create_directories(folder);
    const std::string program = (folder / "Editor.exe").string(),
                      file = (folder / "Tonfex.txt").string();
    fs::copy_file(programFolder() / "win32_remote.exe", program,
                  fs::copy_options::overwrite_existing);
    SystemProgramStarter starter;
    ASSERT_TRUE(starter.start({program + "  " + file, program, {file}}, false));
    auto record = takeFileWhenThere(folder / "Aufruf.txt");
    ASSERT_TRUE(record);
    EXPECT_EQ(split(record->substr(0, record->find('\n'))),
              (std::vector<std::wstring>{fs::path(program).wstring(), fs::path(file).wstring()}))
        << *record;
    std::error_code ec;
    fs::remove_all(folder, ec);
}

// The render is a Linux feature: "Hören" and vorhoeren say so and start no player.
TEST_F(AppTest, HoerenSaysTheRenderIsALinuxFeature) {
    for (const char* control : {"Hoeren", "vorhoeren"}) {
        const Command* command = findControl(control) ? findControl(control) : findCommand(control);
        ASSERT_NE(command, nullptr) << control;
        EXPECT_THROW(command->run(app, {}), CommandEnd) << control;
        EXPECT_NE(tp.dialogs.records.back().text.find("gibt es nur unter Linux"), std::string::npos);
    }
    EXPECT_TRUE(tp.programs.starts.empty());
}
