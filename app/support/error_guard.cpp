#include "support/error_guard.h"

#include "support/app_error.h"

#include "engine/run/errors.h"

#include <QFile>
#include <exception>

bool runGuarded(const std::function<void()>& body, const ErrorReporter& report)
{
    try {
        body();
        return true;
    } catch (const tessivo::IoError& error) {
        // Which file, for the user to look at.
        report(withFullStop(QString::fromUtf8(error.what())), QFile::decodeName(error.path().c_str()));
    } catch (const std::exception& error) {
        report(withFullStop(QString::fromUtf8(error.what())), QString());
    } catch (...) {
        report(withFullStop(QStringLiteral("Unknown error")), QString());
    }
    return false;
}
