#include "ui_runtime/ui_resource_file.h"

#include <QFile>

std::optional<UIResource> load_ui_resource(const char* name, const UIApplication& application,
                                           std::string* error)
{
    const QString file_name = QString::fromUtf8(name);
    QFile embedded(QStringLiteral(":/") + file_name);
    QFile on_disk(file_name);
    QFile& file = embedded.exists() ? embedded : on_disk;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = "cannot read " + file_name.toStdString();
        return std::nullopt;
    }
    const QByteArray text = file.readAll();
    return parse_ui_resource(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), application,
                             error);
}
