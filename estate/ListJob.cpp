#include "estate/ListJob.h"

#include "job/OutputMessages.h"
#include "estate/DatabaseList.h"
#include "estate/FormCatalogue.h"
#include "framework/ResourceString.h"
#include "job/DatabaseLocator.h"
#include "job/ExitStatus.h"
#include "res/resource.h"

#include <algorithm>

namespace {

constexpr char kColumnSeparator = '\t';
constexpr char kFieldSeparator = ',';

// The message of a database that cannot be read, after the database's name, so that the
// line says which of many it was.
class CNamedMessages : public CMessageSink {
public:
    CNamedMessages(CTextOutput& output, const std::string& database)
        : m_output(output), m_database(database) {}
    void Message(const std::string& text) override { m_output.PrintClosing(m_database + ": " + text); }
    void FileError(const std::string& text) override { Message(text); }
    void Warning(const std::string& text) override { m_output.Print(m_database + ": " + text); }

private:
    CTextOutput& m_output;
    const std::string& m_database;
};

}  // namespace

int RunListJob(const CommandLineOptions& options, CTextOutput& output) {
    if (options.db.empty()) {
        output.PrintClosing(ResString(IDS_ENTER_DB_PATH));
        return kExitBadArgument;
    }
    std::vector<DatabaseSource> sources;
    std::string message;
    if (!ExpandDatabases(ServerOf(options), options.db, options.subfolders, sources, message)) {
        output.PrintClosing(message);
        return kExitNothing;
    }
    int status = kExitWhole;
    for (DatabaseSource& source : sources) {
        // On the standard error, as every other word of a listing that is not a form's line.
        if (!source.problem.empty()) {
            output.PrintClosing(source.problem);
            status = std::max(status, source.problemStatus);
            continue;
        }
        if (source.server.empty() && options.serverGiven) source.server = options.server;
        const std::string name = DatabaseName(source);
        CNamedMessages messages(output, name);
        char notesPath[notes::MAXPATH];
        std::vector<FormFields> forms;
        if (!NotesPathOf(messages, source.server, source.path, notesPath) ||
            !ReadFormCatalogue(messages, notesPath, forms)) {
            status = std::max(status, static_cast<int>(kExitNothing));
            continue;
        }
        for (const FormFields& form : forms) {
            if (form.unnamed) {
                messages.Warning(form.form + ": " + form.error);
                status = std::max(status, static_cast<int>(kExitWarnings));
                continue;
            }
            if (!form.error.empty()) {
                messages.Message(form.form + ": " + form.error);
                status = std::max(status, static_cast<int>(kExitNothing));
                continue;
            }
            std::string line = name + kColumnSeparator + form.form + kColumnSeparator;
            for (size_t i = 0; i < form.fields.size(); ++i)
                line += (i == 0 ? "" : std::string(1, kFieldSeparator)) + form.fields[i];
            output.Print(line);
        }
    }
    return status;
}
