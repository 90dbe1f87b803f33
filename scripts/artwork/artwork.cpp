// Draws the pictures Pictalux ships and writes them as PNG files under the repository root given
// as the only argument. Run with QT_QPA_PLATFORM=offscreen; scripts/make-artwork does both.

#include "artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <utility>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "Usage: artwork REPOSITORY-ROOT\n");
        return 2;
    }
    const QDir root(arguments.at(1));

    const std::pair<const char *, QImage> pictures[] = {
            {"data/mouse.png", Artwork::mouseCursor()},
            {"data/menuBackground.png", Artwork::menuBackground()},
            {"data/menuPic.png", Artwork::menuIcons()},
            {"platform/icons/gen_back_to_arrw_small.png", Artwork::backIcon()},
            {"platform/icons/fm_folder_small.png", Artwork::folderIcon()},
            {"platform/icons/fm_insert_file_small.png", Artwork::fileIcon()},
            {"platform/icons/error_pop.png", Artwork::errorIcon()},
            {"data/icons/pictalux-48.png", Artwork::applicationIcon(48)},
            {"data/icons/pictalux-128.png", Artwork::applicationIcon(128)},
            {"data/icons/pictalux-256.png", Artwork::applicationIcon(256)},
    };
    for (const auto &[name, image] : pictures) {
        const QString path = root.filePath(QString::fromLatin1(name));
        if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
