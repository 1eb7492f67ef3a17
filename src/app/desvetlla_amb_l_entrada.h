#pragma once
// What the person does (the pointer moving, a click, a key, a touch) wakes a resting
// audio output at once: the note it leads to then finds the device awake, instead of
// waiting while the device comes back from its sleep.
#include <QObject>

#include <functional>

namespace brisola {

class desvetlla_amb_l_entrada : public QObject {
public:
    explicit desvetlla_amb_l_entrada(std::function<void()> desperta) : desperta_(std::move(desperta)) {}

protected:
    bool eventFilter(QObject* objecte, QEvent* event) override;

private:
    std::function<void()> desperta_;
};

} // namespace brisola
