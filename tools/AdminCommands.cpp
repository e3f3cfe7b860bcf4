#include "tools/AdminCommands.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace admin {

namespace {

// One command line taken apart: the words that are not options, and the options.
struct Parsed {
  QStringList positional;
  QHash<QString, QString> values;  // --password P, --old P, --db F
  QSet<QString> flags;             // --demo, --force

  bool Has(const QString& option) const { return values.contains(option); }
  QString Value(const QString& option) const { return values.value(option); }
  bool Flag(const QString& flag) const { return flags.contains(flag); }
};

struct CommandShape {
  int positional;            // exactly this many
  QString positionalName;    // for the error
  QStringList valueOptions;  // options followed by a value
  QStringList flagOptions;
};

Parsed Parse(const QString& command, const QStringList& words, const CommandShape& shape) {
  Parsed parsed;
  for (qsizetype i = 0; i < words.size(); ++i) {
    const QString& word = words.at(i);
    if (shape.valueOptions.contains(word)) {
      if (i + 1 >= words.size()) throw EUsageError(QStringLiteral("A opção %1 exige um valor.").arg(word));
      if (parsed.values.contains(word))
        throw EUsageError(QStringLiteral("A opção %1 foi dada duas vezes.").arg(word));
      parsed.values.insert(word, words.at(++i));
    } else if (shape.flagOptions.contains(word)) {
      parsed.flags.insert(word);
    } else if (word.startsWith(QStringLiteral("--"))) {
      throw EUsageError(QStringLiteral("Opção desconhecida para %1: %2").arg(command, word));
    } else {
      parsed.positional << word;
    }
  }
  if (parsed.positional.size() != shape.positional) {
    if (parsed.positional.size() < shape.positional)
      throw EUsageError(QStringLiteral("Falta %1 para %2.").arg(shape.positionalName, command));
    throw EUsageError(QStringLiteral("Argumento a mais para %1: %2").arg(command, parsed.positional.last()));
  }
  if (parsed.positional.constFirst().isEmpty())
    throw EUsageError(QStringLiteral("Falta %1 para %2.").arg(shape.positionalName, command));
  return parsed;
}

QString AskSecret(Console& console, const QString& prompt) {
  const std::optional<QString> answer = console.askSecret ? console.askSecret(prompt) : std::nullopt;
  if (!answer) throw EUsageError(QStringLiteral("Senha não informada (a entrada terminou)."));
  return *answer;
}

// Asked twice, so that a typing slip does not lock the database.
QString AskNewPassword(Console& console) {
  const QString first = AskSecret(console, QStringLiteral("Nova senha: "));
  const QString second = AskSecret(console, QStringLiteral("Repita a nova senha: "));
  if (first != second) throw EUsageError(QStringLiteral("As senhas digitadas não conferem."));
  return first;
}

int CreateDb(const QStringList& words, Console& console) {
  const Parsed p = Parse(QStringLiteral("create-db"), words,
                         {1,
                          QStringLiteral("o arquivo do banco de dados"),
                          {QStringLiteral("--password")},
                          {QStringLiteral("--demo"), QStringLiteral("--force")}});
  const QString file = p.positional.at(0);
  const bool demo = p.Flag(QStringLiteral("--demo"));
  CreateDatabase(file, p.Value(QStringLiteral("--password")), demo, p.Flag(QStringLiteral("--force")));
  console.out << QStringLiteral("Banco de dados criado: %1%2\n")
                     .arg(QDir::toNativeSeparators(file),
                          demo ? QStringLiteral(" (com dados de demonstração)") : QString());
  return kExitOk;
}

int SetPassword(const QStringList& words, Console& console) {
  const Parsed p = Parse(QStringLiteral("set-password"), words,
                         {1,
                          QStringLiteral("o arquivo do banco de dados"),
                          {QStringLiteral("--password"), QStringLiteral("--old")},
                          {}});
  const QString file = p.positional.at(0);
  // The current password is asked only when the file has one and it was not given.
  QString current = p.Value(QStringLiteral("--old"));
  if (!p.Has(QStringLiteral("--old")) && HasPassword(file))
    current = AskSecret(console, QStringLiteral("Senha atual: "));
  const QString next =
      p.Has(QStringLiteral("--password")) ? p.Value(QStringLiteral("--password")) : AskNewPassword(console);
  ChangePassword(file, current, next);
  console.out << (next.isEmpty() ? QStringLiteral("Senha removida do banco de dados: %1\n")
                                 : QStringLiteral("Senha do banco de dados alterada: %1\n"))
                     .arg(QDir::toNativeSeparators(file));
  console.out << QStringLiteral(
                     "Atualize o ServerConfig.ini com: quorvel-admin write-config PASTA --db %1 --force\n")
                     .arg(QDir::toNativeSeparators(file));
  return kExitOk;
}

int WriteConfig(const QStringList& words, Console& console) {
  const Parsed p = Parse(QStringLiteral("write-config"), words,
                         {1,
                          QStringLiteral("a pasta do programa"),
                          {QStringLiteral("--db"), QStringLiteral("--password")},
                          {QStringLiteral("--force")}});
  if (!p.Has(QStringLiteral("--db")))
    throw EUsageError(QStringLiteral("Informe o banco de dados com --db ARQUIVO."));
  const QString database = p.Value(QStringLiteral("--db"));
  const QString written = WriteServerConfig(
      p.positional.at(0), database, p.Value(QStringLiteral("--password")), p.Flag(QStringLiteral("--force")));
  console.out << QStringLiteral("Configuração gravada: %1\n").arg(QDir::toNativeSeparators(written));
  if (QDir::isRelativePath(database))
    console.err << QStringLiteral(
                       "Aviso: o caminho %1 é relativo; o programa o procura a partir da sua pasta. "
                       "Prefira um caminho absoluto.\n")
                       .arg(database);
  return kExitOk;
}

}  // namespace

QString UsageText() {
  return QStringLiteral(
      "Uso: quorvel-admin COMANDO [opções]\n"
      "\n"
      "Comandos:\n"
      "  create-db ARQUIVO [--password SENHA] [--demo] [--force]\n"
      "      Cria um banco de dados novo com as cinco tabelas do sistema. Sem --password o\n"
      "      banco fica sem senha. --demo acrescenta clientes, serviços, usuários (entre eles\n"
      "      admin / senha) e ordens de serviço de exemplo.\n"
      "  set-password ARQUIVO [--password NOVA] [--old ATUAL]\n"
      "      Troca a senha do banco (uma senha vazia a remove). O que faltar é perguntado.\n"
      "  write-config PASTA --db ARQUIVO [--password SENHA] [--force]\n"
      "      Grava PASTA/ServerConfig.ini (seção Conexao: CaminhoBD e PswDB embaralhada),\n"
      "      legível só pelo dono. A senha precisa abrir o banco.\n"
      "  --help\n"
      "      Mostra esta ajuda.\n"
      "\n"
      "Nenhum comando substitui um banco ou uma configuração existente sem --force.\n");
}

int Run(const QStringList& arguments, Console& console) {
  if (arguments.isEmpty()) {
    console.err << UsageText();
    console.err.flush();
    return kExitUsage;
  }
  const QString command = arguments.constFirst();
  const QStringList rest = arguments.mid(1);
  int code = kExitOk;
  try {
    if (command == QStringLiteral("help") || arguments.contains(QStringLiteral("--help")) ||
        arguments.contains(QStringLiteral("-h")))
      console.out << UsageText();
    else if (command == QStringLiteral("create-db"))
      code = CreateDb(rest, console);
    else if (command == QStringLiteral("set-password"))
      code = SetPassword(rest, console);
    else if (command == QStringLiteral("write-config"))
      code = WriteConfig(rest, console);
    else
      throw EUsageError(QStringLiteral("Comando desconhecido: %1 (veja quorvel-admin --help)").arg(command));
  } catch (const EUsageError& e) {
    console.err << QStringLiteral("Erro: ") << e.Message() << QStringLiteral("\n");
    code = kExitUsage;
  } catch (const Exception& e) {
    console.err << QStringLiteral("Erro: ") << e.Message() << QStringLiteral("\n");
    code = kExitFailed;
  }
  console.out.flush();
  console.err.flush();
  return code;
}

}  // namespace admin
