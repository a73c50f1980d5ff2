#pragma once

#include "Driver.h"
#include "Loadable.h"

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <memory>

// The hub of the program from a successful initialisation to the end of the run: it holds the
// driver object for every other window, opens and closes the shift and opens every other window.
// Other windows read and write its public state.
class MainForm : public ui::Loadable<QMainWindow>
{
    Q_OBJECT

public:
    // The start window hands over the driver object it created (its GetQuolt()).
    explicit MainForm(std::shared_ptr<Driver> driver, QWidget* parent = nullptr);
    ~MainForm() override;

    std::shared_ptr<Driver> GetQuolt() const { return m_driver; }

    bool bSessionOpen = false;
    std::int32_t m_MajorVersion = 0;
    std::int32_t m_MinorVersion = 0;
    std::int16_t m_nSection = 0;

    // Extra document data, filled by the document extras window and sent when a document opens.
    QString m_sDesc42;
    QString m_sDesc80;
    QString m_sDesc81;
    QString m_sDesc82;
    std::int32_t m_lValDesc42 = 0;
    QString m_sValDesc80;
    std::int32_t m_lValDesc81 = 0;
    std::int32_t m_lValDesc82 = 0;
    QString m_sValDesc42;
    QString m_sValDesc81;
    QString m_sValDesc82;
    QString m_sExtraStrings;

private:
    std::shared_ptr<Driver> m_driver;
};
