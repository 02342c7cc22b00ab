#pragma once

#include <QComboBox>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <string>
#include <vector>

#include "platform/selectors.h"

namespace ambrel::ui {

class QtReportView;

// The file viewer's filter selector: a combo box showing the descriptions, each entry
// carrying its mask. The window answers the user's choice (activated) with ChangeFilter.
class QtFilterSelector : public QComboBox, public ambrel::FilterSelector {
    Q_OBJECT

public:
    explicit QtFilterSelector(QWidget* parent = nullptr);

    int EntryCount() const override;
    void AddEntry(const std::string& description, const std::string& mask) override;
    std::string EntryDescription(int index) const override;
    std::string EntryMask(int index) const override;
    int SelectedEntry() const override;
    void SelectEntry(int index) override;
};

// The file viewer's drive selector: "/" first, then the other mounted, ready volumes.
// The entry chosen last with success is remembered, so that a volume that cannot be
// opened puts the selection back where it was.
class QtDriveSelector : public QComboBox, public ambrel::DriveSelector {
    Q_OBJECT

public:
    // Lists the machine's volumes (MountedRoots).
    explicit QtDriveSelector(QWidget* parent = nullptr);

    // "/" first, then the root paths of the other mounted volumes that are ready and are
    // directories, in path order, each once.
    static std::vector<std::string> MountedRoots();
    // Replaces the entries; "/" is put first when missing.
    void SetRoots(const std::vector<std::string>& roots);

    std::vector<std::string> Drives() const override;
    std::string Drive() const override;
    void SetDrive(const std::string& root) override;

    std::string RootAt(int index) const;
    // The entry to go back to when a change fails; the current entry becomes it.
    void Remember() { remembered_ = currentIndex(); }
    void SelectRemembered() { setCurrentIndex(remembered_); }

private:
    int remembered_ = -1;
};

// The small icons of the directory and file lists, which share one image list: every
// picture is added to both views at the same index. A name's picture comes from its MIME
// type found by the name alone (the file is never opened), drawn from the icon theme;
// the key is the theme icon's name, or the cache key of the platform's generic picture.
class QtIconSource : public ambrel::IconSource {
public:
    QtIconSource(QtReportView* directories, QtReportView* files);

    std::string IconKeyFor(const std::string& name, bool is_dir) override;
    int AddIcon(const std::string& key) override;
    void ClearIcons() override;

private:
    QIcon KeyedIcon(const QString& key) const;

    QtReportView* directories_;
    QtReportView* files_;
    QMimeDatabase mime_;
    QIcon folder_icon_;
    QIcon file_icon_;
    // Icons met by their key, so AddIcon draws exactly what IconKeyFor chose.
    QHash<QString, QIcon> known_;
};

}  // namespace ambrel::ui
