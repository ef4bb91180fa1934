#pragma once
// Debian's python3-impacket: an independent DPAPI implementation (its dpapi.py example) that the
// tests check our fixtures against and the DPAPI benchmark compares with. Header only, so that
// the benchmarks can use it without the test library.
#include <QFileInfo>
#include <QString>

namespace zorvak::test {

inline const QString kImpacketPython = QStringLiteral("/usr/bin/python3");
inline const QString kImpacketDpapi = QStringLiteral("/usr/share/doc/python3-impacket/examples/dpapi.py");

inline bool HaveImpacket() { return QFileInfo::exists(kImpacketPython) && QFileInfo::exists(kImpacketDpapi); }

} // namespace zorvak::test
