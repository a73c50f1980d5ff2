#pragma once

#include "DocumentWindow.h"

#include <cstdint>
#include <memory>

class QCheckBox;

namespace Ui {
class FormTextDoc;
}

// The text document window, numbered or not: free lines printed one at a time, then the end of
// the document. For the unnumbered document on newer devices the print attributes can be
// switched; they are driver options and take effect at once.
class FormTextDoc : public documents::DocumentWindow
{
    Q_OBJECT

public:
    explicit FormTextDoc(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormTextDoc() override;

    std::int32_t m_DocumentType = 3; // 3 text document, 7 text document without number

protected:
    void Document_Load() override;

private slots:
    void CmdText_Click();
    void CmdExit_Click();
    void CmdGetExtendedError_Click();
    void cbDoubleWidth_Click();
    void cbDoubleHeight_Click();
    void cbUnderline_Click();

private:
    void sendAttribute(std::int16_t option, const QCheckBox* box);

    std::unique_ptr<Ui::FormTextDoc> ui;
};
