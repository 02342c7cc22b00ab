#include "ui/files/qt_selectors.h"

#include <QFileIconProvider>
#include <algorithm>

#include "platform/paths.h"
#include "platform/volumes.h"
#include "ui/common/icons.h"
#include "ui/common/qt_report_view.h"
#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

// The role under which an entry keeps its mask or root path.
constexpr int kValueRole = Qt::UserRole;

QByteArray RootBytes(const std::string& root) {
    return QByteArray(root.data(), static_cast<qsizetype>(root.size()));
}

}  // namespace

namespace {

// A long entry (a deep volume path) must not widen the narrow window: the box keeps its
// width and elides.
void KeepNarrow(QComboBox* box) {
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(8);
}

}  // namespace

QtFilterSelector::QtFilterSelector(QWidget* parent) : QComboBox(parent) { KeepNarrow(this); }

int QtFilterSelector::EntryCount() const { return count(); }

void QtFilterSelector::AddEntry(const std::string& description, const std::string& mask) {
    addItem(ToQ(description), ToQ(mask));
}

std::string QtFilterSelector::EntryDescription(int index) const { return FromQ(itemText(index)); }

std::string QtFilterSelector::EntryMask(int index) const {
    return FromQ(itemData(index, kValueRole).toString());
}

int QtFilterSelector::SelectedEntry() const { return currentIndex(); }

void QtFilterSelector::SelectEntry(int index) { setCurrentIndex(index); }

QtDriveSelector::QtDriveSelector(QWidget* parent) : QComboBox(parent) {
    KeepNarrow(this);
    SetRoots(MountedRoots());
}

std::vector<std::string> QtDriveSelector::MountedRoots() {
    std::vector<std::string> roots = ambrel::volumes::MountedRoots();
    roots.insert(roots.begin(), ambrel::paths::Root());
    return roots;
}

void QtDriveSelector::SetRoots(const std::vector<std::string>& roots) {
    clear();
    const QIcon drive = QIcon::fromTheme(QStringLiteral("drive-harddisk"));
    const std::string root = ambrel::paths::Root();
    if (std::find(roots.begin(), roots.end(), root) == roots.end())
        addItem(drive, ToQ(root), RootBytes(root));
    // The entry shows the path; its data keeps the bytes, which the text may not.
    for (const std::string& path : roots) addItem(drive, ToQ(path), RootBytes(path));
    Remember();
}

std::vector<std::string> QtDriveSelector::Drives() const {
    std::vector<std::string> roots;
    for (int i = 0; i < count(); ++i) roots.push_back(RootAt(i));
    return roots;
}

std::string QtDriveSelector::Drive() const {
    return currentIndex() < 0 ? std::string() : RootAt(currentIndex());
}

void QtDriveSelector::SetDrive(const std::string& root) {
    const int index = findData(RootBytes(root), kValueRole);
    if (index < 0) return;
    setCurrentIndex(index);
    Remember();
}

std::string QtDriveSelector::RootAt(int index) const {
    return itemData(index, kValueRole).toByteArray().toStdString();
}

QtIconSource::QtIconSource(QtReportView* directories, QtReportView* files)
    : directories_(directories), files_(files) {
    UseIconTheme();
    QFileIconProvider provider;
    folder_icon_ = provider.icon(QFileIconProvider::Folder);
    file_icon_ = provider.icon(QFileIconProvider::File);
}

std::string QtIconSource::IconKeyFor(const std::string& name, bool is_dir) {
    QStringList candidates;
    if (is_dir) {
        candidates << QStringLiteral("folder");
    } else {
        // The type follows from the name alone: MatchExtension never reads the file.
        const QMimeType type = mime_.mimeTypeForFile(ToQ(name), QMimeDatabase::MatchExtension);
        candidates << type.iconName() << type.genericIconName();
    }
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty()) continue;
        if (known_.contains(candidate)) return FromQ(candidate);
        if (QIcon::hasThemeIcon(candidate)) {
            known_.insert(candidate, QIcon::fromTheme(candidate));
            return FromQ(candidate);
        }
    }
    const QIcon& generic = is_dir ? folder_icon_ : file_icon_;
    const QString key = generic.name().isEmpty()
                            ? QStringLiteral("cache:%1").arg(generic.cacheKey())
                            : generic.name();
    known_.insert(key, generic);
    return FromQ(key);
}

QIcon QtIconSource::KeyedIcon(const QString& key) const {
    const auto found = known_.constFind(key);
    if (found != known_.constEnd()) return *found;
    return QIcon::fromTheme(key, file_icon_);
}

int QtIconSource::AddIcon(const std::string& key) {
    const QIcon icon = KeyedIcon(ToQ(key));
    directories_->AddImage(icon);
    return files_->AddImage(icon);
}

void QtIconSource::ClearIcons() {
    directories_->ClearImages();
    files_->ClearImages();
}

}  // namespace ambrel::ui
