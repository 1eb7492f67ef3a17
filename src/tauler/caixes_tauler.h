#pragma once
// The message boxes, which the board can take over while it runs a choice: a
// player with one input cannot close a box, so the board shows its text as a
// tile instead.
#include "platform/missatges.h"

#include <QStringList>

#include <utility>

namespace brisola {

class caixes_tauler : public missatges {
public:
    explicit caixes_tauler(missatges& real) : real_(real) {}
    void MsgBox(const QString& text, const QString& titol = "Brisola") override {
        if (desviant_) desviats_ << text;
        else real_.MsgBox(text, titol);
    }
    void avisa(const QString& text) override {
        if (desviant_) desviats_ << text;
        else real_.avisa(text);
    }
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
    missatges& real_;
    bool desviant_ = false;
    QStringList desviats_;
};

} // namespace brisola
