#pragma once
// A confirmation dialog over objects copied into "~tmp" of a test's AppDir.
#include "backup/uSelectFiles.h"
#include "shell/uLanguage.h"
#include "test_run_profile.h"

#include <QTableWidget>

namespace zorvak::test {

class GridTest : public EnvTest {
protected:
    TMsnArr items = NewMsnArr();
    QString tmp = env.appDir() + QStringLiteral("~tmp/");

    // Adds an item whose copy (of `size` bytes) lies in "~tmp".
    void Item(const QString &file, const QString &key, const QString &name, int size = 10)
    {
        WriteFile(tmp + file, QByteArray("GIF89a").leftJustified(size, 'x'));
        items->append({key, name, file, QStringLiteral("image/gif"), {}, QStringLiteral("D")});
    }
    std::unique_ptr<TfrmSelectFiles> Open(const char *typeKey, const TDefaultTable &defaults = {}, int previous = 0)
    {
        auto dialog = std::make_unique<TfrmSelectFiles>();
        dialog->LoadItems(CurrentLanguage().Get(QString::fromLatin1(typeKey)), items, defaults, previous);
        dialog->show();
        return dialog;
    }
    static int Result(TfrmSelectFiles &d) { return d.result(); }
};

} // namespace zorvak::test
