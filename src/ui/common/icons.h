#pragma once

#include <QIcon>
#include <QVector>

namespace ambrel::ui {

// The pictures of tool buttons and menu items. Each comes from the freedesktop icon
// theme when the theme has a fitting one, else it is painted.
enum class Picture {
    kSelectNoTag,
    kSelectWithTag,
    kSelectAll,
    kRemoveSelected,
    kRemoveAll,
    kSave,
    kSaveAll,
    kRefresh,
    kFilter,
    kCheckVersion,
    kDownload,
    kAbout,
    kFolder,
    kFolderUp,
    kFolderNew,
    kCopy,
    kMove,
    kDelete,
    kRename,
    kLoad,
    kAudioFile,
    kProduct,
    kUndo,
    kRedo,
    kExport,
    kReload,
    kQuit,
};

inline constexpr int kToolPictureSize = 24;
inline constexpr int kMenuPictureSize = 16;
inline constexpr int kProductPictureSize = 200;

// Makes the theme lookups work the same on every platform plugin, offscreen too.
void UseIconTheme();

// A 24 x 24 tool button picture and a 16 x 16 menu picture.
QIcon ToolPicture(Picture picture);
QIcon MenuPicture(Picture picture);
// Always the painted version, whatever the theme holds.
QIcon PaintedPicture(Picture picture, int size);

// The table's small image list: 0 an audio file, 1 an upward arrow beside rising
// bars (ascending), 2 a downward arrow beside falling bars (descending).
QVector<QIcon> ImageList16viewer();

}  // namespace ambrel::ui
