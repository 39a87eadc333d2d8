// The usage and version-history texts as data, assembled into lines.
#include "app/HelpText.hpp"

#include <array>
#include <initializer_list>

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';
// Continuation lines of the history start under the text column of the entry above.
constexpr int kContinuationIndent = 13;

constexpr std::array<const char16_t*, 16> kHelpLines = {
    u"使用方法",
    u"・変更したい、ＮＣデータをドロップ",
    u"・ソフトアイコンへのドロップも可能",
    u"・↓↑ボタンで、ＮＣファイルの後尾・先端へ移動",
    u"・ＮＣデータは、「エディタ」エリアで矢印キーやマウスクリックで移動可能",
    u"・「矢印キー」で前進・後退可",
    u"・カーソル位置の座標と要素情報を表示",
    u"・「I」「J」指示のデータのみの対応。「R」指示には未対応。",
    u"・「Edit」チェックで編集モードへ入る",
    u"・「Editモード」からは、「更新」ボタンでデータ更新",
    u"・「ファイル保存」でエディタ内のデータでファイル作成",
    u"・「ＤＸＦ作成」でＮＣデータをＤＸＦファイルへ変換する",
    u"・描画の拡大・縮小はマウススクロール",
    u"・移動はマウスクリック位置がキャンバス中心へ配置",
    u"・「SetScale」で任意の値で拡大率変更・但し拡大率は実寸とは無関係",
    u"・「ResetScale」で初期の描画状態へ戻る",
};

// `indent` ideographic spaces, then the pieces joined by one ideographic space each.
QString historyLine(int indent, std::initializer_list<const char16_t*> pieces) {
  QString line(indent, QChar(kIdeographicSpace));
  bool first = true;
  for (const char16_t* piece : pieces) {
    if (!first) line += QChar(kIdeographicSpace);
    line += QString::fromUtf16(piece);
    first = false;
  }
  return line;
}

QString entry(const char16_t* version, const char16_t* date, const char16_t* text) {
  return historyLine(1, {version, date, text});
}

QString continuation(const char16_t* text) { return historyLine(kContinuationIndent, {text}); }

}  // namespace

QStringList helpLines() {
  QStringList lines;
  for (const char16_t* line : kHelpLines) lines << QString::fromUtf16(line);
  return lines;
}

QStringList aboutHistoryLines() {
  return {
      historyLine(0, {u"概要"}),
      historyLine(1, {u"Ｎｃデータを解析し、図形描画と情報を表示します"}),
      QString(),
      historyLine(0, {u"改定履歴", u""}),
      entry(u"Ver1.0", u"2020.08", u"初期バージョン"),
      entry(u"Ver1.1", u"2020.09", u"バージョン情報、ヘルプ"),
      entry(u"Ver1.2", u"2020.09", u"エディタ機能追加"),
      historyLine(1, {u"Ver1.3", u"2020.09  クリック時の動作不具合修正、レイアウト変更"}),
      entry(u"Ver1.4", u"2020.09", u"描画時に強制終了可にする"),
      QString(),
      entry(u"Ver2.0", u"2020.09", u"キャンバスサイズ、拡大・縮小対応"),
      entry(u"Ver2.1", u"2020.09", u"G90,G91表示。G92の取り扱い"),
      entry(u"Ver2.2", u"2020.10", u"真円加工に対応。"),
      continuation(u"サイトアイコン表示。色変更"),
      entry(u"Ver2.3", u"2020.10", u"コントロールサイズ変更可(Splitter追加)"),
      continuation(u"マウスのキャンバス内の判断方法変更"),
      entry(u"Ver2.4", u"2020.10", u"G91からG90の切り替え時の不具合修正"),
      entry(u"Ver2.5", u"2020.10", u"実行ファイルを引数に対応"),
      entry(u"Ver2.6", u"2020.10", u"図形と表示座標のずれ修正"),
      entry(u"Ver2.7", u"2020.10", u"起動時エディタは使用不可でスタート"),
      continuation(u"Fontを変更可にする"),
      QString(),
      entry(u"Ver3.0", u"2020.10", u"DXFへの変換機能を追加"),
      continuation(u"ソフト名を「Velmora」へ変更"),
      entry(u"Ver3.1", u"2020.10", u"ファイル先頭・後尾移動ボタン追加"),
      entry(u"Ver3.2", u"2020.11", u"DXF作成時そのファイルが存在した場合、"),
      continuation(u"ファイル名に「old」を付加し上書きしない"),
      entry(u"Ver3.3", u"2020.11", u"センターと重なった場合、センターラインが消える事の対処"),
      continuation(u"「Redraw」「SetScale」「ResetScale」の動作見直し"),
      entry(u"Ver3.4", u"2020.11", u"センターライン上に要素がある場合、センターラインを再描画"),
      continuation(u"前回のウィンドウサイズ・フォント状態をINIファイルで保存。"),
      continuation(u"起動時に反映。"),
      QString(),
  };
}
