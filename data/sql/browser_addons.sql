-- Browser add-ons: toolbars, shells and runtimes that write themselves into
-- the agent, and the apps whose built-in browser opens links. One add-on is
-- counted per visit, the first that matches; add-ons carry no version.
-- Short tokens are taken with the "; " that puts them in the agent's list,
-- since searches ignore case and would find them inside other words.

INSERT INTO tblBrowserAddons (DisplayName, Pattern) VALUES
  -- Apps that show pages in their own browser
  ('Facebook Messenger',      '*FBAN/Messenger'),
  ('Facebook Messenger',      '*FB_IAB/MESSENGER'),
  ('Facebook App',            '*FBAN/'),
  ('Facebook App',            '*FB_IAB/'),
  ('Facebook App',            '*FBAV/'),
  ('Instagram App',           '*Instagram+'),
  ('WeChat',                  '*MicroMessenger/'),
  ('LINE App',                '*Line/'),
  ('Snapchat',                '*Snapchat/'),
  ('Pinterest App',           '*[Pinterest/'),
  ('LinkedIn App',            '*LinkedInApp'),
  ('Twitter App',             '*Twitter+for+i'),
  ('Twitter App',             '*TwitterAndroid'),
  ('TikTok App',              '*musical_ly'),
  ('TikTok App',              '*BytedanceWebview'),
  ('Google App',              '*GSA/'),
  ('Yahoo Japan App',         '*YJApp-'),
  ('KakaoTalk',               '*KAKAOTALK'),
  ('Naver App',               '*NAVER('),
  ('Electron App',            '*Electron/'),

  -- Toolbars and search helpers
  ('Google Toolbar',          '*GoogleToolbar'),
  ('Google Toolbar',          '*;+GTB'),
  ('Yahoo Toolbar',           '*;+YTB'),
  ('Alexa Toolbar',           '*Alexa+Toolbar'),
  ('Bing Bar',                '*;+BRI/'),
  ('Ask Toolbar',             '*AskTb'),
  ('Hotbar',                  '*Hotbar'),
  ('FunWebProducts',          '*FunWebProducts'),
  ('Zango',                   '*Zango'),
  ('Seekmo',                  '*Seekmo'),
  ('ShopperReports',          '*ShopperReports'),
  ('Babylon',                 '*Babylon'),
  ('iOpus',                   '*iOpus-I-M'),
  ('SIMBAR',                  '*SIMBAR'),
  ('MSN Optimized',           '*MSN+Optimized'),
  ('MSN Client',              '*MSNIA'),
  ('Yahoo PC',                '*;+YPC+'),
  ('Mail.ru Agent',           '*;+MRA+'),
  ('Sputnik',                 '*MRSPUTNIK'),
  ('Comcast Install',         '*Comcast+Install'),
  ('Creative AutoUpdate',     '*Creative+AutoUpdate'),
  ('QQ Download',             '*QQDownload'),
  ('Tencent Traveler',        '*TencentTraveler'),

  -- Shells around Internet Explorer and dial-up clients
  ('AOL Client',              '*;+AOL+'),
  ('CompuServe',              '*CS+2000'),
  ('MyIE2',                   '*MyIE2'),
  ('Crazy Browser',           '*Crazy+Browser'),
  ('Maxthon Shell',           '*Maxthon)'),
  ('EmbeddedWB',              '*EmbeddedWB'),

  -- Runtimes and features that Windows announced in the agent
  ('Office Live',             '*OfficeLiveConnector'),
  ('InfoPath',                '*InfoPath'),
  ('Media Center PC',         '*Media+Center+PC'),
  ('Tablet PC',               '*Tablet+PC'),
  ('Zune',                    '*;+Zune+'),
  ('.NET Framework',          '*;+.NET4'),
  ('.NET Framework',          '*.NET+CLR');

UPDATE tblBrowserAddons SET SearchOrder = rowid * 10;
