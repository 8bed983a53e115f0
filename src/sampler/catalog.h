// The sample catalog: built from the sample project (REAPER items) or the hand-written sample
// list, listed in Zuordnung, and split into its fields for the project writer.
#pragma once

#include "controls/models.h"
#include "core/workfolder.h"
#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tonfex {

// Entry k is the sample of tone number k; index 0 is never used.
inline constexpr int kCatalogLast = 100000;
// The most entries a catalog may hold (the count is a 16-bit value).
inline constexpr int kCatalogMaxEntries = 32767;
// The longest entry of the sample list, in characters: a name of up to 99 characters, five
// numbers and a description fit with room to spare.
inline constexpr int kCatalogEntryChars = 400;

std::vector<std::string> emptySampleTable();

// The entry of tone number k, or "" when k lies outside 1..Samplezahl: nothing is read
// outside the catalog.
const std::string& catalogEntry(const std::vector<std::string>& table, std::int32_t Samplezahl,
                                long k);

// The values of one sample item of the sample project.
struct ItemValues {
    std::string takeName; // the NAME value as read (opening quote kept, last character lost)
    double DT = 0, ZTP = 0, HT = 0, LT1 = 0, LT2 = 0;
};

// The value number `index` (1-based) of a keyword line whose keyword starts at `keywordAt`.
std::string keywordValue(std::string_view line, size_t keywordAt, size_t keywordLength, int index);

// Splits a take name into the sample name and its description.
void splitTakeName(std::string_view t, std::string& NAME, std::string& INF);

// The catalog entry text of an item: name, then the numbers in sign-blank form, two blanks
// between the fields.
std::string entryText(const std::string& NAME, const ItemValues& v, const std::string& INF);

// The longest line of the sample project the catalog reader takes, in bytes.
inline constexpr size_t kSampleProjectLineBytes = 65536;

// Result of reading the sample project's text.
struct ProjectScan {
    std::vector<std::string> entries; // entries 1.. in item order (index 0 = item 1)
    bool truncated = false;           // the file ended inside an item's keyword search
    std::string missing;              // then the keyword it was looking for
    bool tooMany = false;             // more than 32767 items
    bool tooLong = false;             // the entry of the next item has more than 400 characters
};
// Reads the items of a REAPER project's lines, taken one after the other from `next` (false
// at the end); `listing` receives one listing line (or two, when a long name pushes a column
// onto the next line) per item. Only the entries and the listing are kept.
ProjectScan scanSampleProject(const std::function<bool(std::string&)>& next,
                              std::vector<std::string>* listing, char decimal);

// The head of the catalog listing (lines 1 to 7).
std::vector<std::string> listingHead(const LocalTime& now, const std::string& listingText);

// Katalogleser: builds the catalog from the sample project and rewrites the listing. A missing
// project, an item cut off by the file's end or too many items end the program after a message.
void Katalogleser(Files& files, Dialogs& dialogs, Clock& clock, const WorkFolder& folder,
                  double sound, char decimal, std::vector<std::string>& table,
                  std::int32_t& Samplezahl);

// HCLeser: builds the catalog from the hand-written sample list, one line per tone number.
// Both readers take `table` as the last one left it: nothing filled beyond `Samplezahl`.
// A missing list or one with more than 32767 lines ends the command after a message.
void HCLeser(Files& files, Dialogs& dialogs, const WorkFolder& folder,
             std::vector<std::string>& table, std::int32_t& Samplezahl);

// Katalogliste: shows the catalog in Zuordnung (the table filled as far as Samplezahl).
void Katalogliste(const std::vector<std::string>& table, std::int32_t Samplezahl,
                  ListBox& Zuordnung);

// The entry's name: the characters before its first blank within the first 100 characters,
// at most 99 characters.
std::string entryName(std::string_view entry);

// The six fields after the name.
struct EntryFields {
    std::string DT, ZTP, HT, LT1, LT2, INF;
};
// Eintragsleser: splits the entry after its name into its six fields; a missing field is "".
EntryFields Eintragsleser(std::string_view entry, std::string_view name);

} // namespace tonfex
