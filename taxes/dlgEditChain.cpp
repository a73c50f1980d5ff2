#include "dlgEditChain.h"
#include "ui_dlgEditChain.h"

#include <QPainter>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace {

const QString kRootText = u"Корень"_s;
const QString kRootKey = u"R"_s;
constexpr int kKeyRole = Qt::UserRole;

// A 16x16 tax sheet; the selected node shows it filled.
QPixmap nodePixmap(bool selected)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0, 0, 128));
    painter.setBrush(selected ? QColor(255, 255, 128) : QColor(255, 255, 255));
    painter.drawRect(2, 1, 11, 13);
    painter.drawLine(5, 5, 10, 5);
    painter.drawLine(5, 8, 10, 8);
    painter.drawLine(5, 11, 8, 11);
    return pixmap;
}

QIcon nodeIcon()
{
    QIcon icon;
    icon.addPixmap(nodePixmap(false), QIcon::Normal);
    icon.addPixmap(nodePixmap(true), QIcon::Selected);
    return icon;
}

} // namespace

dlgEditChain::dlgEditChain(QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::dlgEditChain>())
{
    ui->setupUi(this);
    // "OK" takes Enter; Esc ends the dialog as "Отмена" does.
    setKeys(forms::EscapeKey::Closes, ui->OKButton);
    CmdDirect = {ui->CmdDirect_0, ui->CmdDirect_1, ui->CmdDirect_2, ui->CmdDirect_3};
    CmdReverse = {ui->CmdReverse_0, ui->CmdReverse_1, ui->CmdReverse_2, ui->CmdReverse_3};
    for (int k = 0; k < taxchain::kTaxCount; ++k) {
        connect(CmdDirect[k], &QPushButton::clicked, this, [this, k] { CmdDirect_Click(k); });
        connect(CmdReverse[k], &QPushButton::clicked, this, [this, k] { CmdReverse_Click(k); });
    }
    connect(ui->CmdDelete, &QPushButton::clicked, this, &dlgEditChain::CmdDelete_Click);
    connect(ui->OKButton, &QPushButton::clicked, this, &dlgEditChain::OKButton_Click);
    connect(ui->CancelButton, &QPushButton::clicked, this, &dlgEditChain::CancelButton_Click);
}

dlgEditChain::~dlgEditChain() = default;

void dlgEditChain::Form_Load()
{
    bOk = false;
    ui->TreeView->clear();
    QTreeWidgetItem* root = addNode(nullptr, kRootText, kRootKey);
    ui->TreeView->setCurrentItem(root);
    // The reader takes 1 to 4 for a to d, skips a tax already in the tree (a text read from a
    // device may nest a tax under itself) and reads a text of another length as an empty chain.
    AddChainGroup(taxchain::read(sChain), root);
}

void dlgEditChain::AddChainGroup(const taxchain::Tree& nodes, QTreeWidgetItem* parent)
{
    for (const taxchain::Node& node : nodes)
        AddChainGroup(node.children, addNode(parent, QString(node.letter), node.key));
}

QTreeWidgetItem* dlgEditChain::addNode(QTreeWidgetItem* parent, const QString& text,
                                       const QString& key)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->TreeView);
    item->setText(0, text);
    item->setData(0, kKeyRole, key);
    item->setIcon(0, nodeIcon());
    // Made visible: every node above it is opened.
    for (QTreeWidgetItem* above = parent; above; above = above->parent())
        above->setExpanded(true);
    ui->TreeView->scrollToItem(item);
    return item;
}

QTreeWidgetItem* dlgEditChain::Root() const
{
    return ui->TreeView->topLevelItem(0);
}

taxchain::Tree dlgEditChain::chainTree(const QTreeWidgetItem* parent) const
{
    taxchain::Tree nodes;
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* child = parent->child(i);
        const QString text = child->text(0);
        nodes.push_back({text.isEmpty() ? QChar() : text.at(0), child->data(0, kKeyRole).toString(),
                         chainTree(child)});
    }
    return nodes;
}

void dlgEditChain::CmdDirect_Click(int index)
{
    addTax(CmdDirect[index]->text());
}

void dlgEditChain::CmdReverse_Click(int index)
{
    addTax(CmdReverse[index]->text());
}

void dlgEditChain::addTax(const QString& letter)
{
    // A tax stands once in a chain, whatever its direction.
    if (taxchain::contains(chainTree(Root()), letter.at(0)))
        return;
    // With no node selected the tax goes to the top of the chain.
    QTreeWidgetItem* parent = ui->TreeView->currentItem();
    if (!parent || !parent->isSelected())
        parent = Root();
    // The selection stays: the operator selects the node the next tax nests under.
    addNode(parent, letter, letter);
}

void dlgEditChain::CmdDelete_Click()
{
    QTreeWidgetItem* selected = ui->TreeView->currentItem();
    if (!selected || !selected->isSelected() || selected->text(0) == kRootText)
        return;
    delete selected; // with every node below it
}

void dlgEditChain::OKButton_Click()
{
    sChain = taxchain::write(chainTree(Root()));
    bOk = true;
    close();
}

void dlgEditChain::CancelButton_Click()
{
    close();
}
