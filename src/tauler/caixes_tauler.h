#pragma once
// The message boxes, which the board can take over while it runs a choice or
// while the switch plays: a player with one input cannot close a box, so the
// board shows its text as a tile instead.
#include "platform/missatges.h"

#include <QStringList>

#include <functional>
#include <utility>

namespace brisola {

class caixes_tauler : public missatges {
public:
    explicit caixes_tauler(missatges& real) : real_(real) {}
    void MsgBox(const QString& text, const QString& titol = "Brisola") override {
        if (!pres(text)) real_.MsgBox(text, titol);
    }
    // A notice shown as a tile is still written where the journal keeps it.
    void avisa(const QString& text) override { pres(text) ? real_.registra(text) : real_.avisa(text); }
    void avisa_personal(const QString& text) override {
        if (!pres(text)) real_.avisa_personal(text);
    }
    // Given a box's text when no choice runs: true when it shows it (a tile) instead of a box.
    void set_receptor(std::function<bool(const QString&)> r) { receptor_ = std::move(r); }
    // Runs `f` with its boxes kept; returns their texts.
    template <class F>
    QStringList desvia(F&& f) {
        desviant_ = true;
        desviats_.clear();
        f();
        desviant_ = false;
        return std::exchange(desviats_, {});
    }

private:
    bool pres(const QString& text) {
        if (desviant_) desviats_ << text;
        return desviant_ || (receptor_ && receptor_(text));
    }

    missatges& real_;
    std::function<bool(const QString&)> receptor_;
    bool desviant_ = false;
    QStringList desviats_;
};

} // namespace brisola
