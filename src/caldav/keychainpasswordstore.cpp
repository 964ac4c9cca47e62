#include "keychainpasswordstore.h"

#include <qt6keychain/keychain.h>

namespace taskloom {

namespace {

const QString Service = QStringLiteral("taskloom");

// Starts a self-deleting job and hands it to `done` when it finishes, unless
// the context is gone by then.
template <typename Job, typename Done>
void run(Job* job, const QString& account, QObject* context, Done done)
{
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(account);
    QObject::connect(
        job, &QKeychain::Job::finished, context,
        [done = std::move(done)](QKeychain::Job* finished) { done(static_cast<Job*>(finished)); });
    job->start();
}

} // namespace

void KeychainPasswordStore::read(const QString& account, QObject* context, ReadDone done)
{
    run(new QKeychain::ReadPasswordJob(Service), account, context,
        [done = std::move(done)](QKeychain::ReadPasswordJob* job) {
            ReadResult result;
            switch (job->error()) {
            case QKeychain::NoError:
                result.status = ReadResult::Status::Found;
                result.password = job->textData();
                break;
            case QKeychain::EntryNotFound:
                result.status = ReadResult::Status::NotFound;
                break;
            default:
                // Locked, refused or missing keychain: the caller asks.
                result.status = ReadResult::Status::Failed;
                result.reason = job->errorString();
                break;
            }
            done(result);
        });
}

void KeychainPasswordStore::write(const QString& account, const QString& password, QObject* context,
                                  WriteDone done)
{
    auto* job = new QKeychain::WritePasswordJob(Service);
    job->setTextData(password);
    run(job, account, context, [done = std::move(done)](QKeychain::WritePasswordJob* finished) {
        done(finished->error() == QKeychain::NoError ? QString() : finished->errorString());
    });
}

void KeychainPasswordStore::remove(const QString& account, QObject* context, WriteDone done)
{
    run(new QKeychain::DeletePasswordJob(Service), account, context,
        [done = std::move(done)](QKeychain::DeletePasswordJob* job) {
            const bool gone =
                job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound;
            done(gone ? QString() : job->errorString());
        });
}

} // namespace taskloom
