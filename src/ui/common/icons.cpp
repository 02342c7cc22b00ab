#include "ui/common/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace ambrel::ui {

namespace {

// Every painting is drawn on a 24-unit grid and scaled to the asked size.
constexpr qreal kGrid = 24.0;

const QColor kInk(60, 60, 60);
const QColor kPaper(250, 250, 250);
const QColor kBlue(52, 101, 164);
const QColor kRed(204, 0, 0);
const QColor kGreen(78, 154, 6);
const QColor kAmber(237, 170, 40);
const QColor kFolderYellow(233, 185, 90);

QPen Pen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Page(QPainter& p, const QRectF& r) {
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void Note(QPainter& p, QPointF at, qreal scale, const QColor& color) {
    p.setPen(Pen(color, 1.6 * scale));
    p.setBrush(color);
    p.drawLine(at + QPointF(2.4, 0) * scale, at + QPointF(2.4, -8) * scale);
    p.drawLine(at + QPointF(2.4, -8) * scale, at + QPointF(5.5, -6.5) * scale);
    p.drawEllipse(at + QPointF(0.6, 0) * scale, 2.0 * scale, 1.6 * scale);
}

void Rows(QPainter& p, const QColor& highlight, bool all) {
    for (int i = 0; i < 4; ++i) {
        const QRectF row(3, 4 + i * 4.5, 14, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(all || i == 1 || i == 2 ? highlight : QColor(190, 190, 190));
        p.drawRoundedRect(row, 1, 1);
    }
}

void Tag(QPainter& p, bool filled, bool lines = true) {
    QPolygonF tag;
    tag << QPointF(3, 12) << QPointF(9, 5) << QPointF(21, 5) << QPointF(21, 19) << QPointF(9, 19);
    p.setPen(Pen(filled ? QColor(160, 100, 10) : QColor(130, 130, 130), 1.4));
    p.setBrush(filled ? kAmber : kPaper);
    p.drawPolygon(tag);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(9, 12), 1.7, 1.7);
    if (filled && lines) {
        p.setPen(Pen(Qt::white, 1.6));
        p.drawLine(QPointF(13, 10), QPointF(18, 10));
        p.drawLine(QPointF(13, 14), QPointF(17, 14));
    } else if (!filled) {
        p.setPen(Pen(kRed, 2.2));
        p.drawLine(QPointF(4, 21), QPointF(21, 3));
    }
}

void Floppy(QPainter& p, const QRectF& r) {
    p.setPen(Pen(QColor(30, 60, 110), 1.2));
    p.setBrush(kBlue);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.5, r.width() * 0.6,
                      r.height() * 0.42));
    p.setBrush(QColor(200, 210, 225));
    p.drawRect(
        QRectF(r.left() + r.width() * 0.28, r.top() + 1, r.width() * 0.44, r.height() * 0.3));
}

void Folder(QPainter& p) {
    QPainterPath path;
    path.moveTo(2, 6);
    path.lineTo(9, 6);
    path.lineTo(11, 8);
    path.lineTo(22, 8);
    path.lineTo(22, 20);
    path.lineTo(2, 20);
    path.closeSubpath();
    p.setPen(Pen(QColor(150, 110, 30), 1.2));
    p.setBrush(kFolderYellow);
    p.drawPath(path);
}

// A globe of meridians and parallels: the internet.
void Globe(QPainter& p) {
    const QRectF ball(3, 3, 18, 18);
    p.setPen(Pen(kBlue, 1.3));
    p.setBrush(QColor(220, 232, 245));
    p.drawEllipse(ball);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8, 3, 8, 18));
    p.drawLine(QPointF(12, 3), QPointF(12, 21));
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
    p.drawLine(QPointF(5, 7.5), QPointF(19, 7.5));
    p.drawLine(QPointF(5, 16.5), QPointF(19, 16.5));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color, qreal width) {
    p.setPen(Pen(color, width));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const qreal len = std::hypot(d.x(), d.y());
    if (len == 0) return;
    const QPointF u = d / len, n(-u.y(), u.x());
    const qreal head = 3.5 * width / 1.6;
    p.drawLine(to, to - u * head + n * head);
    p.drawLine(to, to - u * head - n * head);
}

void PlusMinus(QPainter& p, QPointF centre, bool plus, const QColor& color) {
    p.setPen(Pen(color, 2.6));
    p.drawLine(centre - QPointF(3.5, 0), centre + QPointF(3.5, 0));
    if (plus) p.drawLine(centre - QPointF(0, 3.5), centre + QPointF(0, 3.5));
}

void Cross(QPainter& p, QPointF centre, qreal r, const QColor& color) {
    p.setPen(Pen(color, 2.6));
    p.drawLine(centre - QPointF(r, r), centre + QPointF(r, r));
    p.drawLine(centre + QPointF(-r, r), centre + QPointF(r, -r));
}

// An arrow that turns back over the top to the left: undo; mirrored, redo.
void TurningArrow(QPainter& p) {
    QPainterPath path;
    path.moveTo(19, 19);
    path.cubicTo(21, 9, 11, 4, 6, 11);
    p.setPen(Pen(kBlue, 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    Arrow(p, QPointF(7.5, 8.8), QPointF(5.5, 11.8), kBlue, 2.4);
}

void Paint(QPainter& p, Picture picture) {
    switch (picture) {
        case Picture::kSelectNoTag:
            Tag(p, false);
            break;
        case Picture::kSelectWithTag:
            Tag(p, true);
            break;
        case Picture::kSelectAll:
            Rows(p, kBlue, true);
            p.setPen(Pen(kBlue, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(1.5, 2.5, 17, 17));
            break;
        case Picture::kRemoveSelected:
            Rows(p, kBlue, false);
            PlusMinus(p, QPointF(18.5, 18.5), false, kRed);
            break;
        case Picture::kRemoveAll:
            Rows(p, QColor(150, 150, 150), true);
            Cross(p, QPointF(18, 18), 3.5, kRed);
            break;
        case Picture::kSave:
            Floppy(p, QRectF(3, 3, 18, 18));
            break;
        case Picture::kSaveAll:
            Floppy(p, QRectF(1.5, 1.5, 14, 14));
            Floppy(p, QRectF(8.5, 8.5, 14, 14));
            break;
        case Picture::kRefresh: {
            p.setPen(Pen(kGreen, 2.4));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 270 * 16);
            Arrow(p, QPointF(12, 4), QPointF(16.5, 4), kGreen, 2.4);
            break;
        }
        case Picture::kFilter: {
            QPolygonF funnel;
            funnel << QPointF(3, 4) << QPointF(21, 4) << QPointF(14, 12) << QPointF(14, 20)
                   << QPointF(10, 18) << QPointF(10, 12);
            p.setPen(Pen(QColor(30, 60, 110), 1.3));
            p.setBrush(kBlue);
            p.drawPolygon(funnel);
            break;
        }
        case Picture::kCheckVersion:
            Globe(p);
            break;
        case Picture::kDownload:
            p.setPen(Pen(kBlue, 1.4));
            p.setBrush(QColor(220, 232, 245));
            p.drawEllipse(QRectF(3, 3, 18, 18));
            Arrow(p, QPointF(12, 6), QPointF(12, 17), kBlue, 2.2);
            break;
        case Picture::kAbout:
            p.setPen(Pen(kBlue, 1.4));
            p.setBrush(kBlue);
            p.drawEllipse(QRectF(3, 3, 18, 18));
            p.setPen(Pen(Qt::white, 2.4));
            p.drawLine(QPointF(12, 11), QPointF(12, 17));
            p.drawPoint(QPointF(12, 7.5));
            break;
        case Picture::kFolder:
            Folder(p);
            break;
        case Picture::kFolderUp:
            Folder(p);
            Arrow(p, QPointF(12, 18), QPointF(12, 10), kGreen, 2.2);
            break;
        case Picture::kFolderNew:
            Folder(p);
            PlusMinus(p, QPointF(12, 14), true, kGreen);
            break;
        case Picture::kCopy:
            Page(p, QRectF(3, 2, 12, 15));
            Page(p, QRectF(9, 7, 12, 15));
            break;
        case Picture::kMove:
            Page(p, QRectF(3, 4, 12, 16));
            Arrow(p, QPointF(10, 14), QPointF(21, 14), kGreen, 2.2);
            break;
        case Picture::kDelete:
            Cross(p, QPointF(12, 12), 6, kRed);
            break;
        case Picture::kRename:
            Page(p, QRectF(3, 3, 14, 18));
            p.setPen(Pen(kInk, 1.2));
            p.drawLine(QPointF(6, 9), QPointF(13, 9));
            p.drawLine(QPointF(6, 12), QPointF(11, 12));
            p.setPen(Pen(kAmber, 2.6));
            p.drawLine(QPointF(12, 20), QPointF(21, 11));
            break;
        case Picture::kLoad:
            Rows(p, kBlue, true);
            PlusMinus(p, QPointF(18.5, 18.5), true, kGreen);
            break;
        case Picture::kAudioFile:
            Page(p, QRectF(4, 2, 16, 20));
            Note(p, QPointF(9.5, 17), 1.0, kBlue);
            break;
        case Picture::kProduct:
            Tag(p, true, false);
            Note(p, QPointF(13.5, 16), 0.9, kBlue);
            break;
        case Picture::kUndo:
            TurningArrow(p);
            break;
        case Picture::kRedo:
            p.translate(kGrid, 0);
            p.scale(-1, 1);
            TurningArrow(p);
            break;
        case Picture::kExport:
            Rows(p, kBlue, true);
            Arrow(p, QPointF(12, 19), QPointF(22, 19), kGreen, 2.2);
            break;
        case Picture::kReload:
            Floppy(p, QRectF(1.5, 1.5, 14, 14));
            p.setPen(Pen(kGreen, 2.2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(12, 12, 10, 10), 90 * 16, 270 * 16);
            Arrow(p, QPointF(16, 12), QPointF(19, 12), kGreen, 2.2);
            break;
        case Picture::kQuit:
            p.setPen(Pen(kRed, 2.4));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 5, 16, 16), 120 * 16, 300 * 16);
            p.drawLine(QPointF(12, 3), QPointF(12, 12));
            break;
    }
}

// Theme names of the pictures; empty where the theme has nothing that fits. Refresh,
// folder-up, undo and redo are always painted: the theme's versions are grey symbolic
// glyphs that look disabled beside coloured ones, and its nearest "filter" is a lens.
const char* ThemeName(Picture picture) {
    switch (picture) {
        case Picture::kSelectAll:
            return "edit-select-all";
        case Picture::kRemoveSelected:
            return "list-remove";
        case Picture::kRemoveAll:
            return "edit-clear-all";
        case Picture::kSave:
            return "document-save";
        case Picture::kDownload:
            return "software-update-available";
        case Picture::kAbout:
            return "help-about";
        case Picture::kFolder:
            return "folder";
        case Picture::kFolderNew:
            return "folder-new";
        case Picture::kCopy:
            return "edit-copy";
        case Picture::kDelete:
            return "edit-delete";
        case Picture::kLoad:
            return "list-add";
        case Picture::kAudioFile:
            return "audio-x-generic";
        case Picture::kReload:
            return "document-revert";
        case Picture::kQuit:
            return "application-exit";
        default:
            return "";
    }
}

QIcon Themed(Picture picture, int size) {
    const char* name = ThemeName(picture);
    if (*name) {
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.isNull() && !icon.pixmap(size, size).isNull()) return icon;
    }
    return PaintedPicture(picture, size);
}

QPixmap Canvas(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The two sort pictures: bars rising or falling to the right of an arrow.
QIcon SortPicture(bool ascending) {
    QPixmap pixmap = Canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor bars(90, 90, 90);
    p.setPen(Qt::NoPen);
    p.setBrush(bars);
    for (int i = 0; i < 4; ++i) {
        const int len = ascending ? 2 + i * 2 : 8 - i * 2;
        p.drawRect(QRectF(8, 2 + i * 3.5, len, 2));
    }
    p.setPen(Pen(kBlue, 1.6));
    if (ascending) {
        p.drawLine(QPointF(4, 14), QPointF(4, 2.5));
        p.drawLine(QPointF(4, 2.5), QPointF(1.5, 5.5));
        p.drawLine(QPointF(4, 2.5), QPointF(6.5, 5.5));
    } else {
        p.drawLine(QPointF(4, 2), QPointF(4, 13.5));
        p.drawLine(QPointF(4, 13.5), QPointF(1.5, 10.5));
        p.drawLine(QPointF(4, 13.5), QPointF(6.5, 10.5));
    }
    return QIcon(pixmap);
}

}  // namespace

void UseIconTheme() {
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QIcon PaintedPicture(Picture picture, int size) {
    QPixmap pixmap = Canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kGrid, size / kGrid);
    Paint(p, picture);
    p.end();
    return QIcon(pixmap);
}

QIcon ToolPicture(Picture picture) { return Themed(picture, kToolPictureSize); }

QIcon MenuPicture(Picture picture) { return Themed(picture, kMenuPictureSize); }

QVector<QIcon> ImageList16viewer() {
    return {PaintedPicture(Picture::kAudioFile, 16), SortPicture(true), SortPicture(false)};
}

}  // namespace ambrel::ui
