#pragma once

#include "Loadable.h"
#include "TaxChain.h"

#include <QDialog>
#include <QString>

#include <array>
#include <memory>

class QPushButton;
class QTreeWidgetItem;

namespace Ui {
class dlgEditChain;
}

// Edits one tax chain as a tree of taxes. The opener sets sChain before showing the dialog and,
// when bOk is set after it has closed, takes the edited chain text from sChain. The dialog makes
// no driver call.
class dlgEditChain : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgEditChain(QWidget* parent = nullptr);
    ~dlgEditChain() override;

    QString sChain;   // the chain text, in and (after "OK") out
    bool bOk = false; // closed with "OK"

protected:
    void Form_Load() override;

private slots:
    void CmdDirect_Click(int index);
    void CmdReverse_Click(int index);
    void CmdDelete_Click();
    void OKButton_Click();
    void CancelButton_Click();

private:
    void addTax(const QString& letter);
    void AddChainGroup(const taxchain::Tree& nodes, QTreeWidgetItem* parent);
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, const QString& key);
    taxchain::Tree chainTree(const QTreeWidgetItem* parent) const;
    QTreeWidgetItem* Root() const;

    std::unique_ptr<Ui::dlgEditChain> ui;
    std::array<QPushButton*, taxchain::kTaxCount> CmdDirect{};
    std::array<QPushButton*, taxchain::kTaxCount> CmdReverse{};
};
