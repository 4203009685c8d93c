#include "ui/PlainText.h"

namespace halvrick::PlainText {

QString shown(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.category()) {
        case QChar::Other_Control:
            result += QChar(QChar::ReplacementCharacter);
            break;
        case QChar::Other_Format:
            break;
        default:
            result += c;
        }
    }
    return result;
}

QString shown(const std::string& utf8) {
    return shown(QString::fromStdString(utf8));
}

} // namespace halvrick::PlainText
