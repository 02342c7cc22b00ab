#pragma once

// What the action panel's tests share: the real window set (World) with the panel's
// controls found by name, its lists read as texts, and the files of the test directory.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <algorithm>
#include <filesystem>

#include "main_window_world.h"
#include "ui/actions/action_panel.h"
#include "ui/actions/up_down.h"

namespace ambrel::test {

using ambrel::ui::TForm3;
using Texts = std::vector<std::string>;

struct PanelWorld : World {
    TForm3* panel = windows->Form3();

    template <typename T>
    T* Control(const char* name) const {
        T* found = panel->findChild<T*>(QLatin1String(name));
        if (found == nullptr) qFatal("the action panel has no control named %s", name);
        return found;
    }
    void Press(const char* button) const { Control<QAbstractButton>(button)->click(); }
    void Type(const char* edit, const QString& text) const {
        Control<QLineEdit>(edit)->setText(text);
    }
    bool Checked(const char* box) const { return Control<QCheckBox>(box)->isChecked(); }
    void ChooseItem(const char* combo, int index) const {
        Control<QComboBox>(combo)->setCurrentIndex(index);
    }
    void ChooseTemplate(const char* list, int item) const {
        Control<QListWidget>(list)->setCurrentRow(item);
    }
    // The template list's lines, and its selected line (-1 for none).
    Texts Lines(const char* list) const {
        Texts lines;
        auto* box = Control<QListWidget>(list);
        for (int i = 0; i < box->count(); ++i) lines.push_back(box->item(i)->text().toStdString());
        return lines;
    }
    int SelectedLine(const char* list) const {
        const QList<QListWidgetItem*> selected = Control<QListWidget>(list)->selectedItems();
        return selected.isEmpty() ? -1 : Control<QListWidget>(list)->row(selected.front());
    }
    // The names of the test directory's files, sorted.
    Texts Files() const {
        Texts names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The texts of the per-file and per-value message boxes shown so far.
    Texts Messages() const {
        Texts texts;
        for (const Shown& s : prompter.shown)
            if (s.kind == Shown::kMessage) texts.push_back(s.text);
        return texts;
    }
};

}  // namespace ambrel::test
