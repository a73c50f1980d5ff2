#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FakeDriver.h"
#include "Fields.h"
#include "OptionEditor.h"
#include "UpDown.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace Qt::StringLiterals;
using Keep = forms::OptionValues::Keep;
using Reference = forms::OptionValues::Reference;

Q_DECLARE_METATYPE(Keep)
Q_DECLARE_METATYPE(Reference)

namespace {

constexpr std::int16_t kBoxOption = DeviceOption::PrintTaxes;
constexpr std::int16_t kSpinnerOption = DeviceOption::ShiftTimeLimit;
constexpr std::int16_t kTextOption = DeviceOption::ClockCorrection;

// A small option-editing window: a check box, a spinner and a text box read as a lenient 16-bit
// number, each written with SetDeviceOpt, in that order, under the status line's comment; then
// "Применить" and "Закрыть" side by side.
struct OptionsWindow
{
    QDialog dialog;
    QCheckBox* box = new QCheckBox(&dialog);
    forms::UpDown* spinner = new forms::UpDown(&dialog);
    QLineEdit* text = new QLineEdit(&dialog);
    QPushButton* apply = new QPushButton(&dialog);
    QPushButton* close = new QPushButton(&dialog);
    QLineEdit* status = new QLineEdit(&dialog);
    forms::FieldReader fields{[this](const QString& t) { status->setText(t); }};
    forms::OptionEditor editor{apply};
    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    forms::OptionValues::Id boxId, spinnerId, textId;

    explicit OptionsWindow(Keep boxKeep, Reference spinnerReference = Reference::Shown)
    {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : std::initializer_list<QWidget*>{box, spinner, text, apply, close, status})
            layout->addWidget(w);
        box->setText(u"Флажок"_s);
        spinner->setRange(0, 24);
        auto write = [this](std::int16_t option) {
            return [this, option](const std::int16_t& value) {
                return fake->SetDeviceOpt(option, value);
            };
        };
        forms::OptionValues& values = editor.values();
        boxId = values.add<std::int16_t>([this] { return std::int16_t(box->isChecked()); },
                                         write(kBoxOption), boxKeep);
        spinnerId =
            values.add<std::int16_t>([this] { return std::int16_t(spinner->value()); },
                                     write(kSpinnerOption), Keep::Attempted, spinnerReference);
        textId =
            values.add<std::int16_t>([this] { return fields.lenientInt16(text, u"Поправка"_s); },
                                     write(kTextOption), Keep::Accepted);
        editor.track(box);
        editor.track(spinner);
        editor.track(text);
    }

    // What the window does when it opens: read each option and show it.
    void load()
    {
        const auto loading = editor.loading();
        forms::OptionValues& values = editor.values();
        const auto boxValue = std::int16_t(fake->GetDeviceOpt(kBoxOption));
        values.remember(boxId, boxValue);
        box->setChecked(boxValue != 0);
        const auto spinnerValue = std::int16_t(fake->GetDeviceOpt(kSpinnerOption));
        values.remember(spinnerId, spinnerValue);
        spinner->setValue(spinnerValue);
        const auto textValue = std::int16_t(fake->GetDeviceOpt(kTextOption));
        values.remember(textId, textValue);
        text->setText(QString::number(textValue));
    }
};

QString setOption(std::int16_t option, std::int16_t value)
{
    return callText(u"SetDeviceOpt"_s, {option, value});
}

} // namespace

class TestOptionEditing : public QObject
{
    Q_OBJECT

private slots:
    void appliesOnlyWhatChanged_data();
    void appliesOnlyWhatChanged();
    void applyLeavesTheFocusWhereTheOperatorWas_data();
    void applyLeavesTheFocusWhereTheOperatorWas();
};

// Steps: "box" clicks the check box, "spin=N" sets the spinner, "text=T" types into the text box,
// "mark" reports a change no control shows, "apply" presses the apply button when it is enabled.
// The log holds, for every "apply", whether the button was enabled, then the calls it made.
void TestOptionEditing::appliesOnlyWhatChanged_data()
{
    QTest::addColumn<QList<int>>("device"); // the three options as the device holds them
    QTest::addColumn<Keep>("boxKeep");
    QTest::addColumn<Reference>("spinnerReference");
    QTest::addColumn<QList<int>>("answers"); // the answers to SetDeviceOpt, in order
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("status");

    const QList<int> plain{0, 24, 0};
    const QString accepted = FakeDriver::comment(ErrorCode::NoError);
    QTest::newRow("nothing changed: apply stays disabled")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{} << QStringList{u"apply"_s}
        << QStringList{u"off"_s} << QString();
    QTest::newRow("values shown at load do not count as changes")
        << QList<int>{1, 5, -7} << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"apply"_s} << QStringList{u"off"_s} << QString();
    QTest::newRow("one check box: exactly that option")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"box"_s, u"apply"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kBoxOption, 1), u"off"_s} << accepted;
    QTest::newRow("changed and changed back: enabled, writes nothing")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"box"_s, u"box"_s, u"text=5"_s, u"text=0"_s, u"apply"_s}
        << QStringList{u"on"_s} << QString();
    QTest::newRow("several: written in the window's order, last comment stays")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{0, 0, 7}
        << QStringList{u"text=-3"_s, u"box"_s, u"spin=12"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kBoxOption, 1), setOption(kSpinnerOption, 12),
                       setOption(kTextOption, -3)}
        << FakeDriver::comment(7);
    QTest::newRow("lenient text: rounded, written when it differs")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"text=12.5kg"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kTextOption, 12)} << accepted;
    QTest::newRow("a change no control shows enables apply")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"mark"_s, u"apply"_s} << QStringList{u"on"_s} << QString();
    QTest::newRow("refused and kept as attempted: not sent again")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{5, 0}
        << QStringList{u"box"_s, u"apply"_s, u"spin=3"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kBoxOption, 1), u"on"_s, setOption(kSpinnerOption, 3)}
        << accepted;
    QTest::newRow("refused and kept only when accepted: retried")
        << plain << Keep::Accepted << Reference::Shown << QList<int>{5, 0, 0}
        << QStringList{u"box"_s, u"apply"_s, u"spin=3"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kBoxOption, 1), u"on"_s, setOption(kBoxOption, 1),
                       setOption(kSpinnerOption, 3)}
        << accepted;
    QTest::newRow("accepted and kept only when accepted: not sent again")
        << plain << Keep::Accepted << Reference::Shown << QList<int>{}
        << QStringList{u"box"_s, u"apply"_s, u"spin=3"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kBoxOption, 1), u"on"_s, setOption(kSpinnerOption, 3)}
        << accepted;
    QTest::newRow("kept as read: sent at every apply")
        << plain << Keep::AsRead << Reference::Shown << QList<int>{}
        << QStringList{u"box"_s, u"apply"_s, u"spin=3"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kBoxOption, 1), u"on"_s, setOption(kBoxOption, 1),
                       setOption(kSpinnerOption, 3)}
        << accepted;
    QTest::newRow("a value the box cannot show is measured against what it shows")
        << QList<int>{2, 24, 0} << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"text=5"_s, u"apply"_s} << QStringList{u"on"_s, setOption(kTextOption, 5)}
        << accepted;
    QTest::newRow("a value the spinner cannot hold is not written back")
        << QList<int>{0, 30, 0} << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"box"_s, u"apply"_s} << QStringList{u"on"_s, setOption(kBoxOption, 1)}
        << accepted;
    QTest::newRow("measured against what was read: the shown value goes out")
        << QList<int>{0, 30, 0} << Keep::Attempted << Reference::Read << QList<int>{}
        << QStringList{u"box"_s, u"apply"_s}
        << QStringList{u"on"_s, setOption(kBoxOption, 1), setOption(kSpinnerOption, 24)}
        << accepted;
    QTest::newRow("unreadable text: nothing written, apply stays enabled")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"box"_s, u"text=40000"_s, u"apply"_s, u"apply"_s}
        << QStringList{u"on"_s, u"on"_s} << u"Поправка: допустимо от -32768 до 32767"_s;
    QTest::newRow("unreadable text mended: everything written")
        << plain << Keep::Attempted << Reference::Shown << QList<int>{}
        << QStringList{u"box"_s, u"text=40000"_s, u"apply"_s, u"text=31"_s, u"apply"_s}
        << QStringList{u"on"_s, u"on"_s, setOption(kBoxOption, 1), setOption(kTextOption, 31)}
        << accepted;
}

void TestOptionEditing::appliesOnlyWhatChanged()
{
    QFETCH(QList<int>, device);
    QFETCH(Keep, boxKeep);
    QFETCH(Reference, spinnerReference);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, log);
    QFETCH(QString, status);

    OptionsWindow window(boxKeep, spinnerReference);
    window.fake->answerAt(u"GetDeviceOpt"_s, kBoxOption, device.at(0));
    window.fake->answerAt(u"GetDeviceOpt"_s, kSpinnerOption, device.at(1));
    window.fake->answerAt(u"GetDeviceOpt"_s, kTextOption, device.at(2));
    QVariantList queued;
    for (int code : answers)
        queued << code;
    window.fake->queue(u"SetDeviceOpt"_s, queued);

    window.load();
    QVERIFY(!window.apply->isEnabled());
    window.fake->clearRecords();

    QStringList seen;
    for (const QString& step : steps) {
        if (step == u"box")
            window.box->click();
        else if (step.startsWith(u"spin="))
            window.spinner->setValue(step.mid(5).toInt());
        else if (step.startsWith(u"text="))
            window.text->setText(step.mid(5));
        else if (step == u"mark")
            window.editor.markChanged();
        else if (step == u"apply") {
            seen << (window.apply->isEnabled() ? u"on"_s : u"off"_s);
            window.fake->clearRecords();
            if (window.apply->isEnabled())
                window.editor.apply(*window.fake,
                                    [&](const QString& t) { window.status->setText(t); });
            seen << window.fake->commands();
        }
    }
    QCOMPARE(seen, log);
    QCOMPARE(window.status->text(), status);
}

// Disabling the apply button that holds the focus would pass the focus on to "Закрыть", where a
// stray Space closes the window. Steps: "box" clicks the check box with the mouse, "text" types
// into the text box, "mark" reports a change no control shows, "focus=box|text" puts the focus
// there, "click" presses "Применить" with the mouse, "key" tabs to it and presses Space.
void TestOptionEditing::applyLeavesTheFocusWhereTheOperatorWas_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("focus"); // where the focus is after the apply

    QTest::newRow("a box clicked, apply clicked") << QStringList{u"box"_s, u"click"_s} << u"box"_s;
    QTest::newRow("a box clicked, then the text focused: the box changed last")
        << QStringList{u"box"_s, u"focus=text"_s, u"click"_s} << u"box"_s;
    QTest::newRow("typed, apply pressed from the keyboard")
        << QStringList{u"text"_s, u"key"_s} << u"text"_s;
    QTest::newRow("a change no control shows: where the focus was")
        << QStringList{u"box"_s, u"mark"_s, u"focus=text"_s, u"click"_s} << u"text"_s;
}

void TestOptionEditing::applyLeavesTheFocusWhereTheOperatorWas()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, focus);

    OptionsWindow window(Keep::Attempted);
    window.dialog.connect(window.apply, &QPushButton::clicked, &window.dialog, [&window] {
        window.editor.apply(*window.fake, [&](const QString& t) { window.status->setText(t); });
    });
    window.load();
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
    const QHash<QString, QWidget*> named{{u"box"_s, window.box}, {u"text"_s, window.text}};

    for (const QString& step : steps) {
        if (step == u"box")
            QTest::mouseClick(window.box, Qt::LeftButton, {}, QPoint(8, window.box->height() / 2));
        else if (step == u"text")
            QTest::keyClicks(window.text, u"7"_s);
        else if (step == u"mark")
            window.editor.markChanged();
        else if (step.startsWith(u"focus="))
            named.value(step.mid(6))->setFocus();
        else if (step == u"click") {
            QVERIFY(window.apply->isEnabled());
            QTest::mouseClick(window.apply, Qt::LeftButton);
        } else if (step == u"key") {
            for (int tabs = 0; tabs < 10 && QApplication::focusWidget() != window.apply; ++tabs)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), window.apply);
            QVERIFY(window.apply->isEnabled());
            QTest::keyClick(window.apply, Qt::Key_Space);
        }
    }
    QVERIFY(!window.apply->isEnabled()); // the apply ran
    QCOMPARE(QApplication::focusWidget(), named.value(focus));
}

QTEST_MAIN(TestOptionEditing)
#include "tst_optionediting.moc"
