#include "desktop/data/date_texts.h"

#include <QLocale>

namespace tandrel {

QString RecodeDateText(const QDate& date) {
    constexpr int kRecodeDateLength = 10;
    QString text = QLocale::system().toString(date, QLocale::ShortFormat);
    return text.size() <= kRecodeDateLength ? text : date.toString(QStringLiteral("MM/dd/yyyy"));
}

}  // namespace tandrel
