#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The text document window, numbered or not. Being built: only its shell exists yet.
class FormTextDoc : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormTextDoc(MainForm& main, QWidget* parent = nullptr);

    std::int32_t m_DocumentType = 3; // 3 text document, 7 text document without number

private:
    MainForm& m_main;
};
