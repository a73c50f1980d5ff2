#pragma once

#include "DocumentWindow.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class FormVoidItem;
}

// The sale annulment receipt window: a reduced sale window with goods positions only, always in
// the document's own department, paid back and printed, or cancelled.
class FormVoidItem : public documents::DocumentWindow
{
    Q_OBJECT

public:
    explicit FormVoidItem(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormVoidItem() override;

protected:
    void Document_Load() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void Command1_Click();
    void CmdExtraInfo_Click();

private:
    // What both position commands read after the quantity.
    struct Goods
    {
        std::int32_t price = 0;
        QString name;
        std::int32_t taxGroup = 0;
    };
    std::optional<Goods> readGoods();

    std::unique_ptr<Ui::FormVoidItem> ui;
    std::int32_t m_MajorVersion = 0;
};
