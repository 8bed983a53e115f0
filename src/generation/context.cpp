#include "generation/rulekit.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/wait.h"
#include "core/zufall.h"
#include "generation/statistik.h"

#include <algorithm>

namespace tonfex::rulekit {

float draw(RuleContext& ctx) {
    return Rnd(ctx.platform.random);
}

void waitAfterDraw(RuleContext& ctx) {
    // A seeded generator needs no distance between seeds.
    if (ctx.platform.random.seed() != 0) return;
    Verzoegerung(ctx.platform.clock, ctx.platform.events, ctx.s.VERZOGERUNG * 0.001);
}

void startRule(RuleContext& ctx, const std::string& name) {
    ctx.Regelname = name;
    ctx.c.txtNot.setText(ctx.Regelname);
    Verzoegerung(ctx.platform.clock, ctx.platform.events, 0.3);
}

void progress(RuleContext& ctx, int i, double n) {
    const double total = std::clamp(n, static_cast<double>(i), double{Melody::kMaxTones});
    ctx.c.Text1.setText("Ton " + plainText(i) + " von " + plainText(static_cast<int>(total)));
}

int endPatternRule(RuleContext& ctx, const ToneWriter& w) {
    ctx.c.Text1.visible = false;
    w.reportLimit(ctx);
    patternStatistics(ctx, w.index());
    return w.index();
}

void tellError(RuleContext& ctx, const std::string& text) {
    ctx.platform.dialogs.tell("FEHLER", text);
}

void failRule(RuleContext& ctx, const std::string& text) {
    ctx.melody.Tonzahl = 0;
    ctx.c.Text1.visible = false;
    failCommand(ctx.platform.dialogs, text);
}

std::string emptyPatternText(const std::string& fileText) {
    return "Die Patterndatei " + fileText + " enthält keine Töne.";
}

std::int16_t clamp16(double value) {
    return toInt16(std::clamp(value, -32768.0, 32767.0));
}

bool ToneWriter::add(double pitch, std::int16_t volume, double duration) {
    if (i_ >= Melody::kMaxTones) {
        full_ = true;
        return false;
    }
    ++i_;
    auto k = static_cast<size_t>(i_);
    m_.Tonhoehe[k] = clamp16(pitch);
    m_.Lautstaerke[k] = volume;
    m_.Tondauer[k] = duration;
    return true;
}

bool ToneWriter::stopHere() {
    if (i_ >= Melody::kMaxTones) full_ = true;
    return full_;
}

void ToneWriter::reportLimit(RuleContext& ctx) const {
    if (full_)
        tellError(ctx, "Die Melodie hat die Höchstzahl von 32767 Tönen erreicht - die Regel "
                       "hört hier auf.");
}

} // namespace tonfex::rulekit
