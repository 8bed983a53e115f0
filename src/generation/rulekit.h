// What the rules share: the draw and its wait, the rule's start, the progress text and the
// tone writer that keeps the melody within the 32767 tones of Tonzahl.
#pragma once

#include "generation/rules.h"

#include <cstdint>
#include <string>

namespace tonfex::rulekit {

// One draw: a reseed from the clock and one number in [0, 1).
float draw(RuleContext& ctx);
// The wait of VERZOGERUNG * 0.001 seconds after a draw, so that the next seed differs; none
// while a seed is in use.
void waitAfterDraw(RuleContext& ctx);
// Regelname and txtNot show the rule; then the wait of 0.3 seconds.
void startRule(RuleContext& ctx, const std::string& name);
// Text1 shows "Ton i von n": the tone index and the number of tones the rule makes at most
// (never more than a melody holds).
void progress(RuleContext& ctx, int i, double n);
// The tones `passes` passes make when each makes as many as the first `pass` made on average.
inline double projected(int tones, int pass, int passes) {
    return pass > 0 ? static_cast<double>(tones) * passes / pass : tones;
}
// A message titled "FEHLER" that lets the command go on.
void tellError(RuleContext& ctx, const std::string& text);
// The rule cannot make a single tone: Tonzahl 0, Text1 hidden, the message ends the command.
[[noreturn]] void failRule(RuleContext& ctx, const std::string& text);
// "Die Patterndatei ... enthält keine Töne."
std::string emptyPatternText(const std::string& fileText);

std::int16_t clamp16(double value);

// Appends tones from index 1 upward and stops at 32767, the most that Tonzahl can count.
class ToneWriter {
public:
    explicit ToneWriter(Melody& melody) : m_(melody) {}
    // Writes the next tone; false, and nothing written, when the melody is full.
    bool add(double pitch, std::int16_t volume, double duration);
    // True, and the limit noted, when the melody is full: a rule stops before its next draw.
    bool stopHere();
    int index() const { return i_; }
    bool full() const { return full_; }
    // After the rule: tells the user when tones were cut off at the limit.
    void reportLimit(RuleContext& ctx) const;

private:
    Melody& m_;
    int i_ = 0;
    bool full_ = false;
};

// The end of a pattern rule: Text1 hidden, the limit reported, the statistics written; returns
// the last tone's index.
int endPatternRule(RuleContext& ctx, const ToneWriter& w);

} // namespace tonfex::rulekit
