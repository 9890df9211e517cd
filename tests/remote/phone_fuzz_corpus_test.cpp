// The phones' request fuzzer's corpus (fuzz/corpus/phone_request, kept with
// the code) read with the fuzzer's own checks and sent to the real server,
// so that every input a fuzzer kept or that once broke something is tried
// again on each run.

#include "../../fuzz/phone_request_checks.h"
#include "attack_client.h"
#include "phone_server_fixture.h"

#include <QDir>

TEST_F(PhoneServerTest, TheRequestCorpusGetsHttpAnswersOrNothingAndTheServerGoesOn) {
    const QDir corpus(QString(KARAOKE_TEST_SOURCE_DIR) + "/../fuzz/corpus/phone_request");
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        fuzz_phone_request(bytes);
        AttackClient client(2, phones->port());
        client.send_all(bytes);
        client.finish_sending();
        client.reset_on_close();
        client.closed_by_server(100);  // complete requests are answered at once
        const QByteArray& answers = client.received();
        EXPECT_TRUE(answers.isEmpty() || answers.startsWith("HTTP/1.")) << name.toStdString();
    }
    EXPECT_TRUE(state->play_queue.empty());
    EXPECT_EQ(send("GET", "/").status, 200);
}
