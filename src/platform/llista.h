#pragma once
// A list box with per-item data, whose click handler runs when an item is
// selected, by the user or from code; focus alone selects nothing.
#include <QListWidget>

#include <functional>

namespace brisola {

class llista : public QListWidget {
public:
    explicit llista(QWidget* pare);
    void Clear() { clear(); }
    void AddItem(const QString& text) { addItem(text); }
    int NewIndex() const { return count() - 1; }
    int ListCount() const { return count(); }
    int ListIndex() const;
    void set_ListIndex(int index) { setCurrentRow(index); }
    int32_t ItemData(int index) const;
    void set_ItemData(int index, int32_t dada);
    void on_Click(std::function<void()> handler) { click_ = std::move(handler); }

private:
    std::function<void()> click_;
};

} // namespace brisola
