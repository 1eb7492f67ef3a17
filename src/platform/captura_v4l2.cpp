#include "captura_v4l2.h"

#include "configuracio.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace brisola {

namespace {

// The video the tracker's settings name in place of a camera, when it exists; empty otherwise.
QString video_del_seguidor() {
    QString video = QString::fromStdString(tintseer::configuracio::llegeix().font);
    return !video.isEmpty() && QFileInfo(video).isFile() ? video : QString();
}

// An open descriptor of a device that captures video, or -1. When the tracker
// reads a video instead of a camera, driver 0 is that video.
int obre_capturador(int16_t index, v4l2_capability* cap) {
    if (index < 0) return -1;
    if (QString video = video_del_seguidor(); !video.isEmpty()) {
        if (index != 0) return -1;
        if (cap) {
            *cap = {};
            qstrncpy(reinterpret_cast<char*>(cap->card), QFileInfo(video).fileName().toUtf8().constData(),
                     sizeof cap->card);
        }
        return ::open(QFile::encodeName(video).constData(), O_RDONLY | O_CLOEXEC);
    }
    QByteArray cami = QByteArray("/dev/video") + QByteArray::number(index);
    int fd = ::open(cami.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    v4l2_capability c{};
    bool ok = ::ioctl(fd, VIDIOC_QUERYCAP, &c) == 0;
    uint32_t caps = (c.capabilities & V4L2_CAP_DEVICE_CAPS) ? c.device_caps : c.capabilities;
    if (!ok || !(caps & V4L2_CAP_VIDEO_CAPTURE)) {
        ::close(fd);
        return -1;
    }
    if (cap) *cap = c;
    return fd;
}

} // namespace

captura_v4l2::~captura_v4l2() {
    for (auto& [finestra, c] : finestres_)
        if (c.fd >= 0) ::close(c.fd);
}

bool captura_v4l2::capGetDriverDescriptionA(int16_t index, QString& nom, QString& versio) {
    v4l2_capability c{};
    int fd = obre_capturador(index, &c);
    if (fd < 0) return false;
    ::close(fd);
    nom = QString::fromUtf8(reinterpret_cast<const char*>(c.card));
    versio = QString("%1.%2.%3").arg(c.version >> 16).arg((c.version >> 8) & 0xFF).arg(c.version & 0xFF);
    return true;
}

HWND_CAPTURA captura_v4l2::capCreateCaptureWindowA(uintptr_t) {
    HWND_CAPTURA f = seguent_++;
    finestres_[f] = {};
    return f;
}

bool captura_v4l2::connecta(HWND_CAPTURA finestra, int16_t index) {
    auto it = finestres_.find(finestra);
    if (it == finestres_.end()) return false;
    desconnecta(finestra);
    int fd = obre_capturador(index, nullptr);
    if (fd < 0) return false;
    it->second = {fd, index};
    return true;
}

bool captura_v4l2::desconnecta(HWND_CAPTURA finestra) {
    auto it = finestres_.find(finestra);
    if (it == finestres_.end() || it->second.fd < 0) return false;
    ::close(it->second.fd);
    it->second = {};
    return true;
}

bool captura_v4l2::capacitats(HWND_CAPTURA finestra, CAPDRIVERCAPS& caps) {
    auto it = finestres_.find(finestra);
    if (it == finestres_.end() || it->second.fd < 0) return false;
    caps.wDeviceIndex = uint32_t(it->second.index);
    caps.fHasOverlay = false;
    return true;
}

void captura_v4l2::DestroyWindow(HWND_CAPTURA finestra) {
    desconnecta(finestra);
    finestres_.erase(finestra);
}

} // namespace brisola
