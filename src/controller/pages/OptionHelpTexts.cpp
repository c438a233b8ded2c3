#include "controller/pages/OptionHelpTexts.h"

#include <QHash>
#include <QWidget>

namespace OptionHelpTexts {

namespace {

const QHash<QString, QString> &texts()
{
    static const QHash<QString, QString> table {
        // ﾘｽﾄの編集
        { QStringLiteral("lvwFileList"),
          QStringLiteral(
              "表示する画像・動画・ファイルリスト・フォルダの一覧です。ファイルマネージャから"
              "ファイルやフォルダをドロップして追加できます。") },
        // 表示する順序
        { QStringLiteral("optNoSort"), QStringLiteral("リストに並べた順番のまま表示します。") },
        { QStringLiteral("optSortByFileName"),
          QStringLiteral("ファイル名の順に並べ替えて表示します。") },
        { QStringLiteral("chkSortDescending"), QStringLiteral("逆の順（降順）に並べます。") },
        { QStringLiteral("chkSortFolderDepth"),
          QStringLiteral("フォルダの深さを考えて並べ替えます。") },
        { QStringLiteral("optSortRandom"), QStringLiteral("ランダムな順に表示します。") },
        { QStringLiteral("chkSortRandom"),
          QStringLiteral("ループするたびに、順番を新しく決め直します。") },
        { QStringLiteral("chkLoop"),
          QStringLiteral("最後のファイルを表示したら、最初に戻って続けます。") },
        { QStringLiteral("txtMinutes"), QStringLiteral("1枚のファイルを表示する間隔です。") },
        { QStringLiteral("chkNotConfirmSaveShiori"),
          QStringLiteral("終了するときに、しおりを保存するか尋ねません。") },
        { QStringLiteral("optNotSave"), QStringLiteral("終了するときに、しおりを保存しません。") },
        { QStringLiteral("optOverWrite"),
          QStringLiteral("終了するときに、開いているしおりに上書き保存します。") },
        // ﾋﾞｭｰｱの設定
        { QStringLiteral("chkShowTitlebar"), QStringLiteral("ビューアにタイトルバーを付けます。") },
        { QStringLiteral("chkShowStatusbar"),
          QStringLiteral("ビューアの下に、ファイル名と何枚目かを表示します。") },
        { QStringLiteral("chkAlwaysOnTop"),
          QStringLiteral("ビューアをほかのウィンドウより常に手前に表示します。") },
        { QStringLiteral("chkColorProfile"),
          QStringLiteral("写真に埋め込まれたカラープロファイルに従って、色を画面の色"
                         "(画面のプロファイルがなければsRGB)に変換して表示します。"
                         "オフにすると、画像の値をそのまま表示します。"
                         "次に読み込む画像から有効になります。") },
        { QStringLiteral("chkViewerKeys"),
          QStringLiteral("ビューアでスペース、→、PageDown(最後まで見たとき)で次のファイル、"
                         "BackSpace、←で前のファイル、Home、Endで最初と最後のファイルへ移動し、"
                         "Escでビューアを隠します。スクロールバーがあるときは矢印キーでスクロール"
                         "します。") },
        { QStringLiteral("chkHideWithMouse"),
          QStringLiteral("マウスがビューアの上を動くとビューアを隠し、マウスがその場所を離れると元"
                         "に戻します。") },
        { QStringLiteral("chkMinWhenStart"),
          QStringLiteral("スライドショーを始めたら、コントローラを最小化します。") },
        { QStringLiteral("chkShowTaskTray"),
          QStringLiteral("最小化したコントローラをタスクトレイのアイコンにします。") },
        { QStringLiteral("txtBackColor"), QStringLiteral("ビューアの背景の色です。") },
        { QStringLiteral("cmdBackColor"), QStringLiteral("背景の色を選びます。") },
        { QStringLiteral("chkStretchImage"),
          QStringLiteral("画像をビューアの大きさに合わせて拡大・縮小します。") },
        { QStringLiteral("chkZoomImage"), QStringLiteral("画像を指定した倍率で表示します。") },
        { QStringLiteral("txtZoomImage"), QStringLiteral("画像を表示する倍率（％）です。") },
        // ﾋﾞｭｰｱの大きさ
        { QStringLiteral("chkFixForm"), QStringLiteral("ビューアを決まった位置に表示します。") },
        { QStringLiteral("txtFixX"), QStringLiteral("ビューアの左端の位置です。") },
        { QStringLiteral("txtFixY"), QStringLiteral("ビューアの上端の位置です。") },
        { QStringLiteral("cmdGetResentLocation"),
          QStringLiteral("今のビューアの位置と大きさを取り込みます。") },
        { QStringLiteral("chkFixFormSize"),
          QStringLiteral("ビューアの大きさを画像に合わせず、決まった大きさにします。") },
        { QStringLiteral("chkFixHeightWidthRate"),
          QStringLiteral("ビューアの縦横比を保って大きさを変えます。") },
        { QStringLiteral("chkMaxWidth"), QStringLiteral("ビューアの横幅の最大値を決めます。") },
        { QStringLiteral("txtMaxWidth"), QStringLiteral("ビューアの横幅の最大値です。") },
        { QStringLiteral("cmdMaxWidth"), QStringLiteral("画面の横幅を最大値にします。") },
        { QStringLiteral("chkMaxHeight"), QStringLiteral("ビューアの高さの最大値を決めます。") },
        { QStringLiteral("txtMaxHeight"), QStringLiteral("ビューアの高さの最大値です。") },
        { QStringLiteral("cmdMaxHeight"), QStringLiteral("画面の高さを最大値にします。") },
        // BGM
        { QStringLiteral("chkBGM_Enable"), QStringLiteral("スライドショーの間、音楽を流します。") },
        { QStringLiteral("txtBGM"),
          QStringLiteral("流す音楽のファイルまたはプレイリスト（m3u、m3u8、pls）です。") },
        { QStringLiteral("cmdBGM"), QStringLiteral("音楽のファイルを選びます。") },
        { QStringLiteral("cmdBGM_PlayCD"), QStringLiteral("音楽CDを再生します。") },
        { QStringLiteral("cmdTestPlay"), QStringLiteral("指定した音楽を試しに再生します。") },
        { QStringLiteral("chkBGM_AutoPause"),
          QStringLiteral("スライドショーを一時停止すると、音楽も一時停止します。") },
        { QStringLiteral("chkBGM_RememberLastEntry"),
          QStringLiteral("前回最後に流した曲から再生を始めます。") },
        { QStringLiteral("txtBGM_StartingEntry"),
          QStringLiteral("プレイリストの何曲目から再生するかです。") },
        { QStringLiteral("txtBGM_PlayCount"), QStringLiteral("音楽を繰り返す回数です。") },
        // ﾎｯﾄｷｰ
        { QStringLiteral("lstHotKey"),
          QStringLiteral("ホットキーを割り当てられる機能の一覧です。") },
        { QStringLiteral("lstHotKey_Function"),
          QStringLiteral("選んだ機能に割り当てるキーです。") },
        { QStringLiteral("chkHotKey_Alt"), QStringLiteral("Altキーと一緒に押します。") },
        { QStringLiteral("chkHotKey_Ctrl"), QStringLiteral("Ctrlキーと一緒に押します。") },
        { QStringLiteral("chkHotKey_Shift"), QStringLiteral("Shiftキーと一緒に押します。") },
        { QStringLiteral("chkHotKey_Windows"), QStringLiteral("Windowsキーと一緒に押します。") },
        { QStringLiteral("cmdHotKey_Save"), QStringLiteral("選んだ機能にキーを登録します。") },
        { QStringLiteral("txtFunction_Path"),
          QStringLiteral("外部機能で起動するプログラムのパスです。") },
        { QStringLiteral("cmdFunction_Path"), QStringLiteral("起動するプログラムを選びます。") },
        { QStringLiteral("cmdFunction_Save"), QStringLiteral("外部機能を登録します。") },
        { QStringLiteral("cmbFixFormLocation"),
          QStringLiteral("ビューアを画面のどこに置くか（中央や四隅）を選びます。") },
        { QStringLiteral("cmbFunction"), QStringLiteral("設定する外部機能の番号です。") },
        { QStringLiteral("cmbFunction_Operate"),
          QStringLiteral(
              "外部機能で表示中のファイルに行う操作（コピー、移動、削除、実行）です。") },
        // 動画
        { QStringLiteral("chkMp_PlayMovie"), QStringLiteral("動画をスライドショーで再生します。") },
        { QStringLiteral("chkMp_PlayAll"),
          QStringLiteral("「表示する間隔」を過ぎても、動画を最後まで再生します。") },
        { QStringLiteral("chkMp_NextImmediately"),
          QStringLiteral("動画を最後まで再生したら、すぐに次のファイルを表示します。") },
        { QStringLiteral("txtMp_FastForward"), QStringLiteral("早送りの速さ（倍）です。") },
        { QStringLiteral("txtMp_FastReverse"), QStringLiteral("巻き戻しの速さ（倍）です。") },
        { QStringLiteral("cmdMp_Option"),
          QStringLiteral("再生中の動画の情報と、音量・ミュートを表示します。") },
        { QStringLiteral("cmdMp_Version"), QStringLiteral("動画プレーヤーの版を表示します。") },
        { QStringLiteral("chkMp_PlayRealAudio"),
          QStringLiteral("RealAudio/RealVideo のクリップを再生します。") },
        { QStringLiteral("cmdMp_RealOption"),
          QStringLiteral("RealMedia のプレーヤーの情報を表示します。") },
        { QStringLiteral("cmdMp_RealVersion"),
          QStringLiteral("RealMedia のプレーヤーの版を表示します。") },
        // Susie
        { QStringLiteral("chkUseSusiePlugin"),
          QStringLiteral("画像プラグインを使って画像を表示します。GIF・AVIF・HEIF・JPEG XL には"
                         "プラグインが要ります。") },
        { QStringLiteral("lstSusie"),
          QStringLiteral("使うプラグインの一覧です。上から順に、画像を表示できるか尋ねます。") },
    };
    return table;
}

} // namespace

QString text(const QString &objectName)
{
    return texts().value(objectName);
}

int apply(QWidget *root)
{
    int given = 0;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        const QString t = text(w->objectName());
        if (!t.isEmpty() && w->whatsThis().isEmpty()) {
            w->setWhatsThis(t);
            ++given;
        }
    }
    return given;
}

} // namespace OptionHelpTexts
