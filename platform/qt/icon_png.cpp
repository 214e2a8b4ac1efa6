// Build-time helper: writes the program's icon as the PNG the desktop's
// icon theme wants. Usage: dorrabee-icon SIZE OUT.png
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/qt_host.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fputs("usage: dorrabee-icon SIZE OUT.png\n", stderr);
        return 2;
    }
    const int size = atoi(argv[1]);
    const EmbeddedFile* file = embedded_file(RES_ICON);
    QImage image;
    QPoint hot_spot;
    if (size <= 0 || !file || !decode_icon(file->data, file->size, &image, &hot_spot)) {
        fputs("dorrabee-icon: the icon resource cannot be read\n", stderr);
        return 1;
    }
    if (image.width() != size)
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image.save(argv[2], "PNG") ? 0 : 1;
}
