#include "arquivos/Util/Util.h"

#include <QStringList>
#include <array>

#include "arquivos/Util/CipherAlphabets.h"
#include "arquivos/Util/Constants.h"
#include "arquivos/Util/MkDirMul.h"
#include "platform/remote/RESTDWClientSQL.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFile.h"
#include "platform/ui/Dialogs.h"

namespace {

// --- Logs ---------------------------------------------------------------------------------

const QString kLogSeparator(103, QLatin1Char('-'));

QString ExecutableBaseName() {
  return rtl::ChangeFileExt(rtl::ExtractFileName(rtl::ExecutablePath()), QString());
}

QString DayStamp(TDateTime value) {
  return rtl::FormatDateTime(QStringLiteral("yyyymmdd"), value);
}

// The current log of Logs/ with the given suffix, after moving aside one left from an
// earlier day (to the name with today's date). A rename that fails, because today's
// archive exists already for instance, leaves the old log in use.
QString RotatedLog(const QString& suffix) {
  const QString folder = rtl::ExecutableFolder() + QStringLiteral("Logs/");
  if (!rtl::DirectoryExists(folder)) MkSubDir(folder);  // a failure shows in the append
  const QString base = folder + ExecutableBaseName();
  const QString current = base + suffix;
  const QString today = DayStamp(rtl::Now());
  // The file's own day, not GetFileDate: a log stamped before 1980 must rotate, not
  // stop logging for good.
  if (rtl::FileExists(current) && DayStamp(rtl::ToDateTime(rtl::FileLastWriteTime(current))) != today)
    rtl::RenameFile(current, base + today + suffix);
  return current;
}

// --- Level codes ----------------------------------------------------------------------------

constexpr int kLevelTableSize = 21;

// Lines end at CR, LF or CR LF; a break at the very end adds no empty line.
QStringList SplitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n')) continue;
    lines << text.mid(start, i - start);
    if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  if (start < text.size()) lines << text.mid(start);
  return lines;
}

}  // namespace

// --- Locations --------------------------------------------------------------------------------

QString TUtil::CaminhoExe() {
  return rtl::ExecutableFolder();
}

QString TUtil::CaminhoTmp() {
  return ReadIni(IniFile(), QStringLiteral("Config"), QStringLiteral("PathTmp"), QString());
}

QString TUtil::IniFile() {
  return CaminhoExe() + QStringLiteral("Config.ini");
}

QString TUtil::IniVer() {
  return CaminhoExe() + QStringLiteral("tmp/ver.ini");
}

QString TUtil::IniFileChq() {
  return CaminhoExe() + QStringLiteral("chq.ini");
}

QString TUtil::IniFileOpenCart() {
  return CaminhoExe() + QStringLiteral("OpenCart.ini");
}

QString TUtil::IniFilePDV() {
  return CaminhoExe() + QStringLiteral("PDV.ini");
}

QString TUtil::IniFileServer() {
  return CaminhoExe() + QStringLiteral("ServerConfig.ini");
}

QString TUtil::IniFileACBr() {
  QString path;
  {
    TRegistry registry;  // closes the key on every way out
    registry.OpenKey(PATH_REG, true);
    path = registry.ReadString(QStringLiteral("PathINI"));
  }
  if (!rtl::FileExists(path))
    rtl::AssertFailed(QStringLiteral("Arquivo acbr_dfe.ini não encontrado!"),
                      QStringLiteral("arquivos\\Util\\Util"), 181);
  return path;
}

QString TUtil::SysSystemDir() {
  const QStringList candidates = {
#if defined(__x86_64__)
    QStringLiteral("/usr/lib/x86_64-linux-gnu"),
#elif defined(__aarch64__)
    QStringLiteral("/usr/lib/aarch64-linux-gnu"),
#elif defined(__i386__)
    QStringLiteral("/usr/lib/i386-linux-gnu"),
#endif
    QStringLiteral("/usr/lib64"),
  };
  for (const QString& folder : candidates)
    if (rtl::DirectoryExists(folder)) return folder;
  return QStringLiteral("/usr/lib");
}

// --- Ini files ---------------------------------------------------------------------------------

QString TUtil::ReadIni(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                       const QString& strDefault) {
  return TIniFile(lcIni).ReadString(lcSessao, lcSub, strDefault);
}

bool TUtil::ReadIniBoo(const QString& lcIni, const QString& lcSessao, const QString& lcSub, bool booDefault) {
  return TIniFile(lcIni).ReadBool(lcSessao, lcSub, booDefault);
}

int32_t TUtil::ReadIniInt(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                          int32_t iDefault) {
  return TIniFile(lcIni).ReadInteger(lcSessao, lcSub, iDefault);
}

QString TUtil::ReadIniVer(const QString& lcIni, const QString& lcSessao, const QString& lcSub) {
  return ReadIni(lcIni, lcSessao, lcSub, QString());
}

int32_t TUtil::ReadBinaryStream(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                                QIODevice& AValue) {
  return TIniFile(lcIni).ReadBinaryStream(lcSessao, lcSub, AValue);
}

void TUtil::WriteIni(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                     const QString& lcValor) {
  TIniFile(lcIni).WriteString(lcSessao, lcSub, lcValor);
}

void TUtil::WriteIniVer(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                        const QString& lcValor) {
  WriteIni(lcIni, lcSessao, lcSub, lcValor);
}

void TUtil::WriteIniBoo(const QString& lcIni, const QString& lcSessao, const QString& lcSub, bool lcValor) {
  TIniFile(lcIni).WriteBool(lcSessao, lcSub, lcValor);
}

void TUtil::WriteIniInt(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                        int32_t lcValor) {
  TIniFile(lcIni).WriteInteger(lcSessao, lcSub, lcValor);
}

void TUtil::WriteBinaryStream(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                              QIODevice& lcValor) {
  TIniFile(lcIni).WriteBinaryStream(lcSessao, lcSub, lcValor);
}

// --- Ciphers -------------------------------------------------------------------------------------

QString TUtil::Criptografar(const QString& wStri) {
  const QString text = rtl::Trim(wStri);
  QString result;
  result.reserve(text.size());
  for (const QChar c : text) {
    qsizetype k = -1;
    if ((k = cipher::Primeiro.indexOf(c)) >= 0)
      result += cipher::Segundo[k];
    else if ((k = cipher::Segundo.indexOf(c)) >= 0)
      result += cipher::Primeiro[k];
    else if ((k = cipher::Terceiro.indexOf(c)) >= 0)
      result += cipher::Quarto[k];
    else if ((k = cipher::Quarto.indexOf(c)) >= 0)
      result += cipher::Terceiro[k];
  }
  return result;
}

QString TUtil::Decriptografar(const QString& wStri) {
  return Criptografar(wStri);
}

QString TUtil::EnDeCripta(const QString& Texto, uint16_t Chave) {
  QString result(Texto.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < Texto.size(); ++i)
    result[i] = QChar(static_cast<char16_t>(Chave - Texto[i].unicode() - 1));
  return result;
}

// --- Text files and logs ---------------------------------------------------------------------------

QString TUtil::TxtFileLog() {
  return rtl::ChangeFileExt(rtl::ExecutablePath(), QStringLiteral(".log"));
}

QString TUtil::TxtFileBD() {
  return CaminhoExe() + ExecutableBaseName() + QStringLiteral("-BD.log");
}

void TUtil::WriteTxt(const QString& lcTxt, const QString& lcValor) {
  rtl::AppendLine(lcTxt, lcValor);
}

void TUtil::WriteTxtSys(const QString& lcTxt, const QString& lcValor) {
  WriteTxt(lcTxt, lcValor);
}

void TUtil::WriteTxtBD(const QString& lcTxt, const QString& lcValor) {
  const QString current = RotatedLog(QStringLiteral("-BD.log"));
  rtl::AppendLine(lcTxt.isEmpty() ? current : lcTxt, lcValor);
}

void TUtil::GravaLog(const QString& Msg, int32_t Acao) {
  const QString current = RotatedLog(QStringLiteral(".log"));
  QStringList block;
  if (Acao == 0)
    block = {kLogSeparator, QStringLiteral("Data/Hora: ") + rtl::DateTimeToStr(rtl::Now()), Msg,
             kLogSeparator};
  else if (Acao == 1)
    block = {Msg};
  else
    block = {kLogSeparator, Msg, QStringLiteral("Fim da execução!"), kLogSeparator};
  rtl::AppendLines(current, block);
}

TDateTime TUtil::GetFileDate(const QString& Arquivo) {
  const auto undecodable = [] { return EConvertError(QStringLiteral("Invalid argument to date encode")); };
  QDateTime written;
  try {
    written = rtl::FileLastWriteTime(Arquivo);
  } catch (const EInOutError&) {
    throw undecodable();  // no date to decode: reported as the decoding error it causes
  }
  if (written.date().year() < 1980) throw undecodable();
  const QTime time = written.time();
  return rtl::ToDateTime(QDateTime(written.date(), QTime(time.hour(), time.minute(), time.second() & ~1)));
}

// --- Text and number helpers --------------------------------------------------------------------------

QString TUtil::TrocaVirgPPto(const QString& valor) {
  QString result = valor;
  for (QChar& c : result) {
    if (c == QLatin1Char('.'))
      c = QLatin1Char(',');
    else if (c == QLatin1Char(','))
      c = QLatin1Char('.');
  }
  return result;
}

Currency TUtil::TrocaVirgulaPonto(Currency Valor) {
  const TFormatSettings& fs = rtl::FormatSettings();
  QString text = rtl::FormatCurr(QStringLiteral("#.##0,00"), Valor, fs);
  // The pattern groups thousands, which the conversion back does not accept.
  text.remove(fs.ThousandSeparator);
  return rtl::StrToCurr(text, fs);
}

QString TUtil::FormataTelefone(const QString& ANumero) {
  const QString mask = ANumero.size() <= 10 ? QStringLiteral("\\(00\\) 0000\\-0000;0;")
                                            : QStringLiteral("\\(00\\) 0 0000\\-0000;0;");
  return rtl::FormatMaskText(mask, ANumero);
}

bool TUtil::ComparaHora(const QString& Primeira, const QString& Segunda) {
  return rtl::StrToTime(Primeira) == rtl::StrToTime(Segunda);
}

bool TUtil::ComparaTexto(const QString& Primeira, const QString& Segunda) {
  return rtl::AnsiUpperCase(Primeira) == rtl::AnsiUpperCase(Segunda);
}

QString TUtil::EliminaPonto(const QString& Valor) {
  QString result = Valor;
  return result.remove(QLatin1Char('.'));
}

QString TUtil::SoNumero(const QString& Texto) {
  QString result;
  for (const QChar c : Texto)
    if (IsDigit(QString(c))) result += c;
  return result;
}

bool TUtil::IsDigit(const QString& Texto) {
  int32_t value = 0;
  return rtl::TryStrToInt(Texto, value);
}

QString TUtil::AbreviaTexto(const QString& S, int32_t QdteC) {
  return QdteC <= 0 ? QString() : S.left(QdteC);
}

bool TUtil::MargemVazio() {
  const QString margins[] = {INI_PDV_CHAVE_MARGEMESQU, INI_PDV_CHAVE_MARGEMDIRE, INI_PDV_CHAVE_MARGEMSUPE,
                             INI_PDV_CHAVE_MARGEMINFE};
  for (const QString& key : margins)
    if (ReadIni(IniFilePDV(), INI_PDV_IMPRESSORA, key, QString()).isEmpty()) return true;
  return false;
}

QString TUtil::calcularNivelDependente(const QString& textoOrigem, const QString& adiciona) {
  const QStringList components =
      SplitLines(QString(textoOrigem).replace(QLatin1Char('.'), QLatin1Char('\n')));
  if (components.isEmpty())
    throw EConvertError(QStringLiteral("Código de nível sem componentes: '%1'").arg(textoOrigem));
  const bool child = adiciona == QLatin1String("=");
  const qsizetype needed = components.size() + (child ? 1 : 0);
  if (needed > kLevelTableSize)
    throw EConvertError(
        QStringLiteral("Código de nível com mais de %1 níveis: '%2'").arg(kLevelTableSize).arg(textoOrigem));

  // 64 bits, so that a sibling of the largest 32-bit component cannot overflow.
  std::array<int64_t, kLevelTableSize> levels;
  levels.fill(-1);
  for (qsizetype i = 0; i < components.size(); ++i)
    levels[static_cast<size_t>(i)] = rtl::StrToInt(components[i]);
  const auto last = static_cast<size_t>(components.size() - 1);

  size_t end = 0;
  if (child) {
    if (levels[last + 1] == -1) levels[last + 1] = 1;
    end = last + 1;
  } else if (adiciona == QLatin1String("+")) {
    levels[last] = levels[last] == -1 ? 1 : levels[last] + 1;
    end = last;
  } else {
    return QString();
  }
  QString result;
  for (size_t i = 0; i <= end; ++i) result += QString::number(levels[i]) + QLatin1Char('.');
  return result;
}

void TUtil::ConfirmaExclusao() {
  if (MessageBox(QStringLiteral("Deseja realmente excluir este registro?"), QStringLiteral("Confirme"),
                 mb::YESNO | mb::ICONQUESTION | mb::DEFBUTTON2) != id::YES)
    rtl::Abort();
}

// --- Remote database queries --------------------------------------------------------------

namespace {

// Only a sign and ASCII digits: the key is written into the statement as it is.
bool IsWholeNumber(const QString& text) {
  qsizetype i =
      !text.isEmpty() && (text.front() == QLatin1Char('+') || text.front() == QLatin1Char('-')) ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9')) return false;
  return true;
}

void RequireWholeNumber(const QString& key, const QString& what) {
  if (!IsWholeNumber(key)) throw EConvertError(QStringLiteral("Código de %1 inválido: '%2'").arg(what, key));
}

// The server wants "." as decimal point. Formatting with "," and then swapping gives it in
// every locale; swapping the text of a "." locale would give ",".
const TFormatSettings& CommaDecimal() {
  static const TFormatSettings settings = TFormatSettings::PtBR();
  return settings;
}

QString QuantityText(double quantity) {
  return TUtil::TrocaVirgPPto(rtl::FloatToStr(quantity, CommaDecimal()));
}

QString PriceText(Currency price) {
  return TUtil::TrocaVirgPPto(rtl::FormatCurr(QStringLiteral("#0.0000"), price, CommaDecimal()));
}

}  // namespace

double TUtil::Estoque(int32_t Acao, const QString& IdProduto, double QtdNew, Currency Custo, Currency Preco,
                      TRESTDWDataBase* ARESTDWDataBase) {
  RequireWholeNumber(IdProduto, QStringLiteral("produto"));
  try {
    // No owner: the data set lives for this call only and is freed on every way out.
    TRESTDWClientSQL query;
    query.SetDataBase(ARESTDWDataBase);
    query.SetBinaryRequest(true);
    query.SetAutoCommitData(true);
    query.SetCacheUpdateRecords(false);
    query.SetSequenceField(QStringLiteral("IdProduto"));
    query.SQL().Clear();
    query.SQL().Add(QStringLiteral("SELECT p.IdProduto, p.Qtd, p.Preco, p.PrecoCusto"));
    query.SQL().Add(QStringLiteral(" FROM base.dbo.tblProdutos AS p"));
    query.SQL().Add(QStringLiteral(" WHERE p.IdProduto LIKE ") + IdProduto + QLatin1Char(';'));
    query.Open();
    const double stored = query.FieldByName(QStringLiteral("Qtd")).AsFloat();
    if (Acao < 1 || Acao > 4) return stored;

    const double quantity = (Acao == 1 || Acao == 3) ? stored + QtdNew : stored - QtdNew;
    query.Close();
    query.SQL().Clear();
    if (Acao <= 2) {
      query.SQL().Add(QStringLiteral("UPDATE base.dbo.tblProdutos SET Qtd = ") + QuantityText(quantity) +
                      QStringLiteral(" WHERE IdProduto = ") + IdProduto + QLatin1Char(';'));
    } else {
      query.SQL().Add(QStringLiteral("UPDATE base.dbo.tblProdutos"));
      query.SQL().Add(QStringLiteral(" SET Qtd = ") + QuantityText(quantity));
      if (Custo > Currency()) query.SQL().Add(QStringLiteral(" ,PrecoCusto = ") + PriceText(Custo));
      if (Preco > Currency()) query.SQL().Add(QStringLiteral(" ,Preco = ") + PriceText(Preco));
      query.SQL().Add(QStringLiteral(" WHERE IdProduto = ") + IdProduto + QLatin1Char(';'));
    }
    query.ExecSQL();
    return quantity;
  } catch (const std::exception&) {
    throw Exception(QStringLiteral("Erro ao tentar atualizar Estoque!"));
  }
}

bool TUtil::Permissao(const QString& IdUsuario, const QString& Tabela, const QString& Acao,
                      TRESTDWDataBase* ARESTDWDataBase) {
  RequireWholeNumber(IdUsuario, QStringLiteral("usuário"));
  // The table name sits in a double-quoted literal; a doubled quote keeps it there.
  const QString tabela = QString(Tabela).replace(QLatin1Char('"'), QStringLiteral("\"\""));
  TRESTDWClientSQL query;
  query.SetDataBase(ARESTDWDataBase);
  query.SQL().Clear();
  query.SQL().Add(
      QStringLiteral("SELECT p.IdPermissao, p.IdUsuario, p.Tabela, p.Adicionar, p.Edit, p.Sch, p.Del"));
  query.SQL().Add(
      QStringLiteral("FROM base.dbo.tblUsuarios AS u LEFT JOIN base.dbo.tblPermissao AS p ON "
                     "u.IdUsuario = p.IdUsuario"));
  query.SQL().Add(QStringLiteral("WHERE (((p.IdUsuario)=") + IdUsuario +
                  QStringLiteral(") AND ((p.Tabela)=\"") + tabela + QStringLiteral("\"));"));
  query.Open();
  if (!query.FieldByName(Acao).AsBoolean())
    throw Exception(QStringLiteral("Erro: 99\r\nOperação não permitida!"));
  return true;
}
