// The real main window over fake desktop ports with a fresh temporary
// folder, as the window tests start it, and the small helpers they share.
#pragma once

#include <QtTest>
#include <memory>
#include <string>

#include "app/tform1.h"
#include "fake_ports.h"

inline QString u(const char* utf8) { return QString::fromUtf8(utf8); }

inline void writeBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

struct WindowUnderTest {
    std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    std::unique_ptr<FakePorts> ports;
    std::unique_ptr<TForm1> form;

    // A new window over new ports, shown; the folder stays.  First line as
    // column names when header.
    void newWindow(bool header) {
        form.reset();
        ports = std::make_unique<FakePorts>();
        form = std::make_unique<TForm1>(ports.get());
        form->cbx_hdr->setChecked(header);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    QString path(const QString& name) const { return dir->filePath(name); }
};
