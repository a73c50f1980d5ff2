#include "WindowHarness.h"
#include "dlgEditChain.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QTreeWidget* tree(dlgEditChain& dialog)
{
    return harness::control<QTreeWidget>(&dialog, u"TreeView"_s);
}

// "R[A1[b5]]": each node by its key, the nodes under it in brackets.
QString shape(const QTreeWidgetItem* item)
{
    QString text = item->data(0, Qt::UserRole).toString();
    QStringList children;
    for (int i = 0; i < item->childCount(); ++i)
        children << shape(item->child(i));
    if (!children.isEmpty())
        text += u'[' + children.join(u' ') + u']';
    return text;
}

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> found =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchCaseSensitive);
    if (found.size() != 1)
        qFatal("no single node %s", qPrintable(text));
    return found.constFirst();
}

// Steps separated by blanks: a letter presses its button, "X" the delete button, "@A" selects
// the node A ("@Корень" the root), "@-" leaves no node selected.
void run(dlgEditChain& dialog, const QString& script)
{
    const QStringList steps = script.split(u' ', Qt::SkipEmptyParts);
    for (const QString& step : steps) {
        if (step == u"@-"_s) {
            tree(dialog)->clearSelection();
            tree(dialog)->setCurrentItem(nullptr);
        } else if (step.startsWith(u'@')) {
            tree(dialog)->setCurrentItem(findNode(tree(dialog), step.mid(1)));
        } else if (step == u"X"_s) {
            harness::click(&dialog, u"CmdDelete"_s);
        } else {
            const int k = step.at(0).toUpper().unicode() - u'A';
            harness::click(&dialog,
                           (step.at(0).isUpper() ? u"CmdDirect_%1"_s : u"CmdReverse_%1"_s).arg(k));
        }
    }
}

} // namespace

class TestDlgEditChain : public QObject
{
    Q_OBJECT

private slots:
    void editing_data();
    void editing();
    void endingWithoutOkChangesNothing_data();
    void endingWithoutOkChangesNothing();
    void controls();
};

void TestDlgEditChain::editing_data()
{
    QTest::addColumn<QString>("chain");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("result");

    const QString empty = u"00000000000000000000"_s;
    QTest::newRow("empty text") << u""_s << u""_s << u"R"_s << empty;
    QTest::newRow("short text") << u"A000b"_s << u""_s << u"R"_s << empty;
    QTest::newRow("group 0 empty") << u"0000a000000000000000"_s << u""_s << u"R"_s << empty;
    QTest::newRow("read back as it was")
        << u"A000b000000000000000"_s << u""_s << u"R[A1[b5]]"_s << u"A000b000000000000000"_s;
    QTest::newRow("canonical form")
        << u"1B00000000000000000X"_s << u""_s << u"R[a1 B1]"_s << u"aB000000000000000000"_s;
    QTest::newRow("nested under itself stops")
        << u"A000A000000000000000"_s << u""_s << u"R[A1]"_s << u"A0000000000000000000"_s;
    QTest::newRow("A, select it, B nests")
        << empty << u"A @A B"_s << u"R[A[B]]"_s << u"A000B000000000000000"_s;
    QTest::newRow("A then b beside it")
        << empty << u"A b"_s << u"R[A b]"_s << u"Ab000000000000000000"_s;
    QTest::newRow("a after A adds nothing")
        << empty << u"A a"_s << u"R[A]"_s << u"A0000000000000000000"_s;
    QTest::newRow("a tax once anywhere") << u"A000b000000000000000"_s << u"@A B C @b c"_s
                                         << u"R[A1[b5 C]]"_s << u"A000bC00000000000000"_s;
    QTest::newRow("deleting removes the nested taxes")
        << u"A000b000000000000000"_s << u"@A X"_s << u"R"_s << empty;
    QTest::newRow("the root stays") << u"A000b000000000000000"_s << u"@Корень X"_s << u"R[A1[b5]]"_s
                                    << u"A000b000000000000000"_s;
    QTest::newRow("a deleted tax can come back") << u"A000b000000000000000"_s << u"@b X @A d b"_s
                                                 << u"R[A1[d b]]"_s << u"A000db00000000000000"_s;
    QTest::newRow("no selection: a letter goes to the top")
        << u"A000b000000000000000"_s << u"@- C"_s << u"R[A1[b5] C]"_s << u"AC00b000000000000000"_s;
    QTest::newRow("no selection: X does nothing")
        << u"A000b000000000000000"_s << u"@- X"_s << u"R[A1[b5]]"_s << u"A000b000000000000000"_s;
    QTest::newRow("four deep") << empty << u"d @d c @c b @b a"_s << u"R[d[c[b[a]]]]"_s
                               << u"d0000000a000b000c000"_s;
}

void TestDlgEditChain::editing()
{
    QFETCH(QString, chain);
    QFETCH(QString, script);
    WindowHarness harness;
    dlgEditChain dialog;
    dialog.sChain = chain;
    harness.watch(&dialog);
    QCOMPARE(tree(dialog)->currentItem(), tree(dialog)->topLevelItem(0));
    QVERIFY(!dialog.bOk);

    run(dialog, script);
    QTEST(shape(tree(dialog)->topLevelItem(0)), "tree");
    harness::click(&dialog, u"OKButton"_s);
    QTEST(dialog.sChain, "result");
    QVERIFY(dialog.bOk);
    QVERIFY(!dialog.isVisible());
}

void TestDlgEditChain::endingWithoutOkChangesNothing_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("Отмена") << u"cancel"_s;
    QTest::newRow("Esc") << u"esc"_s;
    QTest::newRow("Enter on the cancel button") << u"enter on cancel"_s;
    QTest::newRow("close box") << u"close"_s;
}

void TestDlgEditChain::endingWithoutOkChangesNothing()
{
    QFETCH(QString, ending);
    WindowHarness harness;
    dlgEditChain dialog;
    dialog.sChain = u"1B00000000000000000X"_s;
    harness.watch(&dialog);
    run(dialog, u"C @B d X"_s);

    if (ending == u"cancel"_s) {
        harness::click(&dialog, u"CancelButton"_s);
    } else if (ending == u"esc"_s) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
    } else if (ending == u"enter on cancel"_s) {
        auto* cancel = harness::control<QPushButton>(&dialog, u"CancelButton"_s);
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
    } else {
        dialog.close();
    }
    // Enter presses "OK", the default button, wherever the focus is; the others end unchanged.
    const bool viaOk = ending == u"enter on cancel"_s;
    QCOMPARE(dialog.bOk, viaOk);
    QCOMPARE(dialog.sChain, viaOk ? u"aC000000000000000000"_s : u"1B00000000000000000X"_s);
    QVERIFY(!dialog.isVisible());
}

void TestDlgEditChain::controls()
{
    WindowHarness harness;
    dlgEditChain dialog;
    harness.watch(&dialog);
    // "OK" is the dialog's only default button; no other button takes Enter for itself.
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 11);
    for (QPushButton* button : buttons) {
        const bool ok = button->objectName() == u"OKButton"_s;
        QCOMPARE(button->isDefault(), ok);
        if (!ok)
            QVERIFY2(!button->autoDefault(), qPrintable(button->objectName()));
    }
    QStringList captions;
    QStringList tips;
    for (const QString& name : {u"CmdReverse_0"_s, u"CmdReverse_3"_s, u"CmdDirect_0"_s,
                                u"CmdDirect_3"_s, u"CmdDelete"_s}) {
        auto* button = harness::control<QPushButton>(&dialog, name);
        captions << button->text();
        tips << button->toolTip();
    }
    QCOMPARE(captions, (QStringList{u"a"_s, u"d"_s, u"A"_s, u"D"_s, u"X"_s}));
    QCOMPARE(tips,
             (QStringList{u"Обратный расчет налога 1"_s, u"Обратный расчет налога 4"_s,
                          u"Прямой расчет налога 1"_s, u"Прямой расчет налога 4"_s, u"Удалить"_s}));
    QCOMPARE(tree(dialog)->topLevelItem(0)->text(0), u"Корень"_s);
}

QTEST_MAIN(TestDlgEditChain)
#include "tst_dlgeditchain.moc"
