#include "LessonNames.h"

const QStringList& LessonNames() {
    static const QStringList names{
        QStringLiteral("初次见面"),   QStringLiteral("碰到熟人"), QStringLiteral("介绍别人"),
        QStringLiteral("登门拜访"),   QStringLiteral("互相道别"), QStringLiteral("简单寒喧"),
        QStringLiteral("提出意见"),   QStringLiteral("征求意见"), QStringLiteral("表达意见"),
        QStringLiteral("保留意见"),   QStringLiteral("陈述意见"), QStringLiteral("转换话题"),
        QStringLiteral("表明决心"),   QStringLiteral("关于秘密"), QStringLiteral("互相约定"),
        QStringLiteral("常用表达"),   QStringLiteral("关于提醒"), QStringLiteral("责备他人"),
        QStringLiteral("表示劝阻"),   QStringLiteral("训诫教诲"), QStringLiteral("提出问询"),
        QStringLiteral("请求帮助"),   QStringLiteral("提出建议"), QStringLiteral("接受建议"),
        QStringLiteral("拒绝建议"),   QStringLiteral("请求同意"), QStringLiteral("回应请求"),
        QStringLiteral("教育引导"),   QStringLiteral("引起注意"), QStringLiteral("表达祝福"),
        QStringLiteral("赠送礼物"),   QStringLiteral("吊唁逝者"), QStringLiteral("关于节日"),
        QStringLiteral("道谢"),       QStringLiteral("道歉"),     QStringLiteral("关心"),
        QStringLiteral("表扬"),       QStringLiteral("起床出门"), QStringLiteral("回家就寝"),
        QStringLiteral("在休息日"),   QStringLiteral("生活习惯"), QStringLiteral("个人理财"),
        QStringLiteral("日期与时间"), QStringLiteral("制定计划"), QStringLiteral("邀请别人"),
        QStringLiteral("准备出发"),   QStringLiteral("看电影"),   QStringLiteral("听音乐会"),
        QStringLiteral("打高尔夫球"), QStringLiteral("在酒吧"),   QStringLiteral("去看病"),
        QStringLiteral("陈述症状"),   QStringLiteral("表达爱慕"), QStringLiteral("互相约会"),
        QStringLiteral("表白情感"),   QStringLiteral("关于婚姻"), QStringLiteral("欣喜高兴"),
        QStringLiteral("生气愤怒"),   QStringLiteral("悲伤失望"), QStringLiteral("喜欢讨厌"),
        QStringLiteral("关怀安慰"),   QStringLiteral("怀疑为难"), QStringLiteral("害羞吃惊"),
        QStringLiteral("谚语惯用语"), QStringLiteral("办公环境"), QStringLiteral("人际关系"),
        QStringLiteral("评论他人"),   QStringLiteral("自我评价"), QStringLiteral("打电话"),
        QStringLiteral("接电话"),     QStringLiteral("留言时"),   QStringLiteral("遇到困难"),
        QStringLiteral("外出旅行时"), QStringLiteral("在飞机上"), QStringLiteral("在机场"),
        QStringLiteral("在服务台"),   QStringLiteral("客房服务"), QStringLiteral("遇到困难"),
        QStringLiteral("问路"),       QStringLiteral("交通工具"), QStringLiteral("租车"),
        QStringLiteral("交通标志"),   QStringLiteral("购物时"),   QStringLiteral("在快餐厅"),
        QStringLiteral("预订餐馆"),   QStringLiteral("饭桌上"),   QStringLiteral("付款时"),
        QStringLiteral("语言不通"),   QStringLiteral("失窃"),     QStringLiteral("呼救"),
    };
    return names;
}
