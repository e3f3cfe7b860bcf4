#pragma once

#include <QIODevice>
#include <QString>
#include <cstdint>

#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"

class TRESTDWDataBase;

// Class-level helpers for configuration files, logs and texts. Never instantiated and
// stateless: every file is opened for the one call and closed before it returns.
class TUtil {
 public:
  TUtil() = delete;

  // The registry key, under the current user's hive, that holds "PathINI".
  static inline const QString PATH_REG = QStringLiteral("Software\\Kelvaro");

  // --- Locations ------------------------------------------------------------------------
  // The executable's folder with its trailing separator; every location below starts there.
  static QString CaminhoExe();
  static QString CaminhoTmp();  // "PathTmp" of section "Config" in Config.ini, as stored
  static QString IniFile();     // Config.ini
  static QString IniVer();      // tmp/ver.ini
  static QString IniFileChq();
  static QString IniFileOpenCart();
  static QString IniFilePDV();
  static QString IniFileServer();
  // The path in the registry value "PathINI" of PATH_REG (the key is created when
  // missing); an assertion failure when no file exists there.
  static QString IniFileACBr();
  // The system's library folder, without trailing separator; never fails.
  static QString SysSystemDir();

  // --- Ini files ------------------------------------------------------------------------
  // Reads never fail for a missing file, section or key: the default comes back.
  static QString ReadIni(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                         const QString& strDefault);
  static bool ReadIniBoo(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                         bool booDefault);
  static int32_t ReadIniInt(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                            int32_t iDefault);
  static QString ReadIniVer(const QString& lcIni, const QString& lcSessao, const QString& lcSub);
  // Writes the decoded bytes into AValue at its position; the number of bytes, 0 when missing.
  static int32_t ReadBinaryStream(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                                  QIODevice& AValue);
  // Writes create file, section and key; a refused write raises "Unable to write to %s".
  static void WriteIni(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                       const QString& lcValor);
  static void WriteIniVer(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                          const QString& lcValor);
  static void WriteIniBoo(const QString& lcIni, const QString& lcSessao, const QString& lcSub, bool lcValor);
  static void WriteIniInt(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                          int32_t lcValor);
  // Stores the bytes from the stream's position to its end.
  static void WriteBinaryStream(const QString& lcIni, const QString& lcSessao, const QString& lcSub,
                                QIODevice& lcValor);

  // --- Ciphers --------------------------------------------------------------------------
  // The stored password's substitution; its own inverse. Characters outside its
  // alphabets are dropped, blanks at both ends too.
  static QString Criptografar(const QString& wStri);
  static QString Decriptografar(const QString& wStri);
  // Each code unit c becomes (Chave - c - 1) mod 65536; its own inverse for one key.
  static QString EnDeCripta(const QString& Texto, uint16_t Chave);

  // --- Text files and logs --------------------------------------------------------------
  static QString TxtFileLog();  // the executable's path with extension ".log"
  static QString TxtFileBD();   // the executable's folder + base name + "-BD.log"
  // Appends one line + CR LF, creating the file but not its folder; EInOutError on failure.
  static void WriteTxt(const QString& lcTxt, const QString& lcValor);
  static void WriteTxtSys(const QString& lcTxt, const QString& lcValor);
  // Rotates the database log of Logs/, then appends to lcTxt or, when empty, to that log.
  static void WriteTxtBD(const QString& lcTxt, const QString& lcValor);
  // Rotates the general log of Logs/, then appends the block Acao asks for: 0 with date and
  // time, 1 the bare message, any other a closing block.
  static void GravaLog(const QString& Msg, int32_t Acao);
  // Last write in local time, seconds rounded down to even; EConvertError "Invalid
  // argument to date encode" when the file cannot be opened or is dated before 1980.
  static TDateTime GetFileDate(const QString& Arquivo);

  // --- Text and number helpers ----------------------------------------------------------
  static QString TrocaVirgPPto(const QString& valor);  // swaps "." and ","
  // Formats with "#.##0,00" and converts back: the value itself, for every magnitude.
  static Currency TrocaVirgulaPonto(Currency Valor);
  static QString FormataTelefone(const QString& ANumero);
  // EConvertError "'%s' is not a valid time" for a text that is no time.
  static bool ComparaHora(const QString& Primeira, const QString& Segunda);
  static bool ComparaTexto(const QString& Primeira, const QString& Segunda);
  static QString EliminaPonto(const QString& Valor);
  static QString SoNumero(const QString& Texto);
  static bool IsDigit(const QString& Texto);
  static QString AbreviaTexto(const QString& S, int32_t QdteC);
  // True when PDV.ini lacks one of the four printer margins (or holds it empty).
  static bool MargemVazio();
  // The next code after textoOrigem ("1.2.3"): "+" the next sibling ("1.2.4."), "=" its
  // first child ("1.2.3.1."), anything else empty. EConvertError for a code with no
  // component, a non-integer component or more levels than the table holds.
  static QString calcularNivelDependente(const QString& textoOrigem, const QString& adiciona);
  // Asks "Deseja realmente excluir este registro?"; anything but Yes raises EAbort.
  static void ConfirmaExclusao();

  // --- Remote database queries ----------------------------------------------------------
  // Both send their statements through ARESTDWDataBase. The keys IdProduto and IdUsuario
  // go into the SQL as bare numbers, so anything but an optional sign and the digits 0 to 9
  // raises EConvertError before a statement is sent.

  // Reads the quantity of product IdProduto, then writes it back with QtdNew added (Acao 1
  // and 3) or taken off (2 and 4); 3 and 4 also store Custo and Preco when above zero. The
  // read and the write are two statements: a change someone else makes in between is
  // overwritten. Answers the quantity written, or for any other Acao the one read (0 for an
  // unknown product, whose update then changes no row). Any failure of the queries raises
  // "Erro ao tentar atualizar Estoque!".
  static double Estoque(int32_t Acao, const QString& IdProduto, double QtdNew, Currency Custo, Currency Preco,
                        TRESTDWDataBase* ARESTDWDataBase);
  // True when the permission column Acao ("Adicionar", "Edit", "Sch", "Del") of the first
  // row for user and table is set; otherwise raises "Erro: 99" CR LF "Operação não
  // permitida!". Query errors and "Field '%s' not found" pass unchanged.
  static bool Permissao(const QString& IdUsuario, const QString& Tabela, const QString& Acao,
                        TRESTDWDataBase* ARESTDWDataBase);
};
