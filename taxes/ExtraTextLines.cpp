#include "ExtraTextLines.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextLayout>

namespace extratext {

QStringList displayLines(const QString& text, const QFont& font, qreal width)
{
    static const QRegularExpression hardBreak(QStringLiteral("\r\n|[\r\n\u2028\u2029]"));
    QStringList lines;
    for (const QString& paragraph : text.split(hardBreak)) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).left(kMaxLineLength);
        }
        layout.endLayout();
    }
    return lines;
}

QStringList displayLines(const QPlainTextEdit& box)
{
    // The text runs inside the frame, less the document's margin on either side.
    const qreal margin = box.document()->documentMargin();
    const qreal width = box.contentsRect().width() - 2 * margin;
    return displayLines(box.toPlainText(), box.font(), width);
}

} // namespace extratext
